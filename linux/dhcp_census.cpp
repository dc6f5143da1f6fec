#include "linux/dhcp_census.h"

#include "core/options/extended_catalogue.h"
#include "core/wire/dhcpv6_discovery.h"
#include "core/wire/duid.h"
#include "core/wire/ethernet_frame.h"
#include "core/wire/neighbor_discovery.h"
#include "core/wire/router_discovery.h"
#include "linux/frame_socket.h"
#include "linux/random_value.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <unordered_set>

namespace
{
using Clock = std::chrono::steady_clock;

// The largest offer asked for: the Ethernet MTU, so it needs no IP fragments
// (which are counted, not reassembled).
constexpr std::uint16_t kMaxReplySize = 1500;
constexpr HardwareAddress kBroadcastMac = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
// Sending is done long before the wait ends; past this the queue is stuck.
constexpr std::chrono::seconds kMaxSendTime{10};

// What the run needs of each probe after the plan has gone to the Census:
// where it is and whether the kernel answers for its address.
struct ProbeAddress
{
    NeighborResponder neighbor;
    bool kernelAnswers = false;
};

struct Planned
{
    CensusPlan plan;
    std::vector<ProbeAddress> addresses; // in the plan's order
};

int CheckVlans(const std::vector<std::uint16_t>& vlans)
{
    if (vlans.size() > kMaxVlanId)
        return EINVAL;
    std::vector<bool> seen(std::size_t{kMaxVlanId} + 1);
    for (const std::uint16_t vlan : vlans)
    {
        if (vlan == 0 || vlan > kMaxVlanId || seen[vlan])
            return EINVAL;
        seen[vlan] = true;
    }
    return 0;
}

// One probe per VLAN (or the untagged link), each with transaction ids of
// its own, so that every answer tells which probe it is for.
int MakePlan(const CensusSettings& settings, const HardwareAddress& interfaceMac,
             const std::optional<Ipv6Address>& interfaceLinkLocal, Planned& planned)
{
    std::vector<std::optional<std::uint16_t>> vlans(settings.vlans.begin(), settings.vlans.end());
    if (vlans.empty())
        vlans.emplace_back();
    planned.plan.families = settings.families;
    std::unordered_set<std::uint32_t> xids;
    std::unordered_set<std::uint32_t> xids6;
    for (const std::optional<std::uint16_t>& vlan : vlans)
    {
        VlanProbe probe;
        probe.vlan = vlan;
        probe.clientMac = settings.clientMac.value_or(interfaceMac);
        if (settings.randomClientMac)
        {
            if (const int error = RandomLocalMac(probe.clientMac))
                return error;
        }
        do
        {
            if (const int error = RandomValue(probe.transactionId))
                return error;
        } while (!xids.insert(probe.transactionId).second);
        do
        {
            if (const int error = RandomValue(probe.transactionId6))
                return error;
            probe.transactionId6 &= 0xFFFFFF;
        } while (!xids6.insert(probe.transactionId6).second);
        // Untagged with the interface's own address, the kernel's link-local
        // address is ours too, and the kernel defends it.
        ProbeAddress address{{probe.clientMac, LinkLocalFromMac(probe.clientMac), vlan, 0}, false};
        if (!vlan && probe.clientMac == interfaceMac && interfaceLinkLocal)
        {
            address.neighbor.linkLocal = *interfaceLinkLocal;
            address.kernelAnswers = true;
        }
        probe.linkLocal = address.neighbor.linkLocal;
        probe.clientDuid = MakeDuidLl(probe.clientMac);
        planned.addresses.push_back(address);
        planned.plan.probes.push_back(std::move(probe));
    }
    return 0;
}

// The families' places in a probe's send times.
enum ProbeKind : std::size_t
{
    kDiscoverProbe,
    kSolicitProbe,
    kRouterProbe,
    kProbeKinds,
};

struct ProbeFrame
{
    std::vector<std::uint8_t> bytes;
    std::size_t slot = 0; // the probe's place in the plan
    ProbeKind kind = kDiscoverProbe;
};

std::vector<ProbeFrame> ProbeFrames(const CensusPlan& plan)
{
    std::vector<ProbeFrame> frames;
    for (std::size_t slot = 0; slot < plan.probes.size(); ++slot)
    {
        const VlanProbe& probe = plan.probes[slot];
        if ((plan.families & kCensusDhcpv4) != 0)
        {
            DiscoverRequest request;
            request.clientMac = probe.clientMac;
            request.transactionId = probe.transactionId;
            request.requestedOptions = DiscoveryRequestedOptions();
            request.maxMessageSize = kMaxReplySize;
            frames.push_back({BuildEthernetFrame(kBroadcastMac, probe.clientMac, probe.vlan,
                                                 kEtherTypeIpv4, BuildDiscoverPacket(request)),
                              slot, kDiscoverProbe});
        }
        if ((plan.families & kCensusDhcpv6) != 0)
        {
            SolicitRequest request;
            request.transactionId = probe.transactionId6;
            request.clientDuid = probe.clientDuid;
            request.iaid = probe.transactionId;
            frames.push_back({BuildEthernetFrame(Ipv6MulticastMac(kAllDhcpv6Servers),
                                                 probe.clientMac, probe.vlan, kEtherTypeIpv6,
                                                 BuildSolicitPacket(request, probe.linkLocal)),
                              slot, kSolicitProbe});
        }
        if ((plan.families & kCensusRouters) != 0)
            frames.push_back(
                {BuildEthernetFrame(Ipv6MulticastMac(kAllRouters), probe.clientMac, probe.vlan,
                                    kEtherTypeIpv6,
                                    BuildRouterSolicitation(probe.linkLocal, probe.clientMac)),
                 slot, kRouterProbe});
    }
    return frames;
}

// A probe's send: the clock read after it, and its number for the kernel's
// stamp.
struct SentProbe
{
    std::chrono::system_clock::time_point clock;
    std::optional<SendId> id;
};

std::chrono::system_clock::time_point SendTime(const FrameSocket& socket, const SentProbe& probe)
{
    const auto stamped = probe.id ? socket.SentAt(*probe.id) : std::nullopt;
    return stamped.value_or(probe.clock);
}

// The probe a received frame answers, by its family: IPv4 the DHCPDISCOVER,
// ICMPv6 the Router Solicitation, other IPv6 the Solicit.
ProbeKind KindOf(const ReceivedFrame& frame, const std::uint8_t* packet)
{
    constexpr std::size_t kNextHeader = 6;
    constexpr std::uint8_t kIcmpv6 = 58;
    if (frame.etherType != kEtherTypeIpv6)
        return kDiscoverProbe;
    return frame.packetSize > kNextHeader && packet[kNextHeader] == kIcmpv6 ? kRouterProbe
                                                                            : kSolicitProbe;
}

// A Neighbor Solicitation for one of our link-local addresses that the kernel
// does not answer for: the answer, on the VLAN it came on. A DHCPv6 server
// resolves the client before it sends an Advertise.
int AnswerSolicitation(const FrameSocket& socket, const Census& census,
                       std::vector<ProbeAddress>& addresses, const ReceivedFrame& frame,
                       const std::uint8_t* packet, Clock::time_point deadline)
{
    const std::optional<std::size_t> slot = census.Find(frame.vlan);
    if (frame.etherType != kEtherTypeIpv6 || !slot)
        return 0;
    ProbeAddress& ours = addresses[*slot];
    if (ours.kernelAnswers)
        return 0;
    const std::optional<std::vector<std::uint8_t>> answer =
        ours.neighbor.Answer(packet, frame.packetSize, frame.checksumPending, frame.sourceMac);
    return answer ? socket.Send(*answer, deadline) : 0;
}
} // namespace

std::vector<std::uint8_t> DiscoveryRequestedOptions()
{
    std::vector<std::uint8_t> codes;
    for (const ExtendedRow* pRow = ExtendedRowsBegin(); pRow != ExtendedRowsEnd(); ++pRow)
    {
        if (!pRow->Has(kMessageOption))
            codes.push_back(pRow->nCode);
    }
    return codes;
}

int RandomLocalMac(HardwareAddress& address)
{
    if (const int error = RandomValue(address))
        return error;
    address[0] = static_cast<std::uint8_t>((address[0] | 0x02) & ~0x01);
    return 0;
}

int RunCensus(const CensusSettings& settings, CensusResult& result)
{
    result = CensusResult();
    result.families = settings.families;
    if ((settings.families & ~unsigned{kCensusAll}) != 0 || settings.families == 0)
        return EINVAL;
    if (const int error = CheckVlans(settings.vlans))
        return error;
    // Before the socket: without a carrier the wait holds no privilege.
    if (const int error =
            WaitForCarrier(settings.interfaceName, Clock::now() + settings.wait, result.carrier))
        return error;
    FrameSocket socket;
    if (const int error =
            socket.Open(settings.interfaceName, settings.promiscuous || settings.randomClientMac))
        return error;
    HardwareAddress interfaceMac{};
    if (const int error = socket.InterfaceMac(interfaceMac))
        return error;
    std::optional<Ipv6Address> interfaceLinkLocal = Ipv6Address{};
    if (InterfaceLinkLocal(settings.interfaceName, *interfaceLinkLocal) != 0)
        interfaceLinkLocal.reset();
    Planned planned;
    if (const int error = MakePlan(settings, interfaceMac, interfaceLinkLocal, planned))
        return error;
    std::vector<ProbeFrame> frames = ProbeFrames(planned.plan);
    if (settings.opened)
    {
        if (const int error = settings.opened(planned.plan))
            return error;
    }
    Census census(std::move(planned.plan), settings.limits);
    // Without a carrier for the whole wait nothing can be sent or heard:
    // every VLAN is silent for that reason.
    if (!result.carrier)
    {
        result = census.TakeResult();
        result.carrier = false;
        return 0;
    }

    // Each answer's delay counts from its own probe's send as the kernel
    // stamped it, to the kernel's receive stamp: a thousand VLANs' probes
    // take a while to send, answers wait in the queue while they go, and
    // this process may run late after any send. Where the kernel stamps no
    // send, the clock read after it stands in.
    const auto sent = Clock::now();
    const SentProbe first{std::chrono::system_clock::now(), std::nullopt};
    std::vector<std::array<SentProbe, kProbeKinds>> sentAt(planned.addresses.size(),
                                                           {first, first, first});
    for (const ProbeFrame& frame : frames)
    {
        SentProbe& probe = sentAt[frame.slot][frame.kind];
        SendId id = 0;
        if (const int error = socket.Send(frame.bytes, sent + kMaxSendTime, id))
            return error;
        probe = {std::chrono::system_clock::now(), id};
    }
    // Sent: a thousand VLANs' frames are megabytes not needed while waiting.
    std::vector<ProbeFrame>().swap(frames);
    const auto deadline = sent + settings.wait;
    std::vector<std::uint8_t> buffer;
    for (;;)
    {
        // Without a progress report the socket waits for the deadline itself.
        const auto now = Clock::now();
        if (settings.progress)
            settings.progress(census, deadline - std::min(now, deadline));
        const auto wake = settings.progress ? std::min(deadline, now + settings.tick) : deadline;
        ReceivedFrame received;
        const int error = socket.Receive(wake, buffer, received);
        if (error == ETIMEDOUT && wake == deadline)
            break;
        if (error == ETIMEDOUT)
            continue;
        if (error != 0)
            return error;
        const std::uint8_t* packet = buffer.data() + kEthernetHeaderSize;
        if (const int sendError = AnswerSolicitation(socket, census, planned.addresses, received,
                                                     packet, Clock::now() + kMaxSendTime))
            return sendError;
        CensusFrame frame;
        frame.vlan = received.vlan;
        frame.etherType = received.etherType;
        frame.sourceMac = received.sourceMac;
        frame.checksumPending = received.checksumPending;
        const std::optional<std::size_t> slot = census.Find(received.vlan);
        const auto since = SendTime(socket, slot ? sentAt[*slot][KindOf(received, packet)] : first);
        frame.at = std::max(
            std::chrono::microseconds(0),
            std::chrono::duration_cast<std::chrono::microseconds>(received.received - since));
        if (settings.frame)
            settings.frame(frame, packet, received.packetSize);
        census.Take(frame, packet, received.packetSize);
        if (settings.done && settings.done(census))
            break;
    }
    const bool carrier = result.carrier;
    result = census.TakeResult();
    result.carrier = carrier;
    return 0;
}
