#include "core/wire/census.h"

#include "core/wire/byte_order.h"
#include "core/wire/ethernet_frame.h"
#include "core/wire/ipv6_datagram.h"
#include "core/wire/neighbor_discovery.h"
#include "core/wire/udp_datagram.h"

namespace
{
constexpr std::uint8_t kProtocolIcmp = 1;
constexpr std::uint8_t kProtocolUdp = 17;
// BOOTP (RFC 2131 2): the xid at 4, chaddr at 28.
constexpr std::size_t kBootpXid = 4;
constexpr std::size_t kBootpChaddr = 28;
// An ICMP error (RFC 792, RFC 4443 2.1) quotes the packet after 8 bytes.
constexpr std::size_t kIcmpHeaderSize = 8;

std::size_t Ipv4HeaderSize(const std::uint8_t* packet, std::size_t size)
{
    if (size < kIpv4HeaderSize || packet[0] >> 4 != 4)
        return 0;
    const std::size_t headerSize = std::size_t{packet[0] & 0x0Fu} * 4;
    return headerSize >= kIpv4HeaderSize && headerSize <= size ? headerSize : 0;
}

// Destination unreachable, time exceeded or parameter problem about a
// DHCPDISCOVER: UDP from port 68 to 67.
bool IsIcmpErrorAboutDiscover(const std::uint8_t* packet, std::size_t size)
{
    const std::size_t header = Ipv4HeaderSize(packet, size);
    if (header == 0 || packet[9] != kProtocolIcmp || size < header + kIcmpHeaderSize)
        return false;
    const std::uint8_t type = packet[header];
    if (type != 3 && type != 11 && type != 12)
        return false;
    const std::uint8_t* quoted = packet + header + kIcmpHeaderSize;
    const std::size_t quotedSize = size - header - kIcmpHeaderSize;
    const std::size_t quotedHeader = Ipv4HeaderSize(quoted, quotedSize);
    return quotedHeader != 0 && quoted[9] == kProtocolUdp && quotedSize >= quotedHeader + 4 &&
           ReadBe16(quoted + quotedHeader) == kDhcpClientPort &&
           ReadBe16(quoted + quotedHeader + 2) == kDhcpServerPort;
}

// An ICMPv6 error (types 1 to 4) about a Solicit or a Router Solicitation.
bool IsIcmpv6ErrorAboutProbe(const std::uint8_t* packet, std::size_t size)
{
    if (size < kIpv6HeaderSize + kIcmpHeaderSize + kIpv6HeaderSize || packet[6] != kProtocolIcmpv6)
        return false;
    const std::uint8_t type = packet[kIpv6HeaderSize];
    if (type < 1 || type > 4)
        return false;
    const std::uint8_t* quoted = packet + kIpv6HeaderSize + kIcmpHeaderSize;
    const std::size_t quotedSize = size - kIpv6HeaderSize - kIcmpHeaderSize;
    if (quoted[6] == kProtocolUdp)
        return quotedSize >= kIpv6HeaderSize + 4 &&
               ReadBe16(quoted + kIpv6HeaderSize + 2) == kDhcpv6ServerPort;
    return quoted[6] == kProtocolIcmpv6 && quotedSize > kIpv6HeaderSize &&
           quoted[kIpv6HeaderSize] == kIcmpv6RouterSolicitation;
}

// What one option costs where it is kept, beside its bytes: the map nodes of
// its value and of its source, and the allocation of its bytes.
constexpr std::size_t kOptionOverhead = 160;

std::size_t KeptResponders(const ServerDiscovery& sorter)
{
    return sorter.Servers().size();
}

std::size_t KeptResponders(const Dhcpv6ServerDiscovery& sorter)
{
    return sorter.Servers().size();
}

std::size_t KeptResponders(const RouterDiscovery& sorter)
{
    return sorter.Routers().size();
}

// The memory the last server kept holds.
std::size_t LastCost(const ServerDiscovery& sorter)
{
    const DiscoveredServer& server = sorter.Servers().back();
    std::size_t cost = sizeof server;
    for (const auto& option : server.offer.m_mapOptions)
        cost += option.second.size() + kOptionOverhead;
    return cost;
}

// A family's bound on bytes stays the discovery's own: the census bounds the
// bytes of all of them (Full), so that no server is cut for the census's sake.
std::size_t LastCost(const Dhcpv6ServerDiscovery& sorter)
{
    const DiscoveredServer6& server = sorter.Servers().back();
    std::size_t cost = sizeof server + server.duid.size();
    for (const Dhcpv6Option& option : server.options)
        cost += sizeof option + option.data.size() + kOptionOverhead;
    return cost;
}

std::size_t LastCost(const RouterDiscovery& sorter)
{
    const AdvertisedRouter& router = sorter.Routers().back();
    std::size_t cost = sizeof router + router.prefixes.size() * sizeof(AdvertisedPrefix);
    for (const AdvertisedDnsServers& servers : router.dnsServers)
        cost += sizeof servers + servers.servers.size() * sizeof(Ipv6Address) + kOptionOverhead;
    for (const AdvertisedSearchList& list : router.searchLists)
    {
        cost += sizeof list + kOptionOverhead;
        for (const std::string& domain : list.domains)
            cost += sizeof domain + domain.size();
    }
    return cost;
}

DiscoveryLimits FamilyLimits(const CensusLimits& limits)
{
    DiscoveryLimits family;
    family.maxServers = limits.maxRespondersPerFamily;
    return family;
}
} // namespace

Census::Census(CensusPlan plan, const CensusLimits& limits)
    : m_limits(limits), m_slots(std::size_t{kMaxVlanId} + 1, 0)
{
    m_result.families = plan.families;
    m_result.vlans.reserve(plan.probes.size());
    m_sorters.reserve(plan.probes.size());
    for (VlanProbe& probe : plan.probes)
    {
        const std::size_t slot = m_result.vlans.size();
        const std::size_t id = probe.vlan.value_or(0);
        if (id < m_slots.size() && m_slots[id] == 0 && slot < m_slots.size())
            m_slots[id] = static_cast<std::uint16_t>(slot + 1);
        m_byXid.emplace(probe.transactionId, slot);
        m_byXid6.emplace(probe.transactionId6, slot);
        RouterDiscoveryLimits routerLimits;
        routerLimits.maxRouters = limits.maxRespondersPerFamily;
        m_sorters.push_back(Sorters{
            ServerDiscovery(probe.transactionId, probe.clientMac, FamilyLimits(limits)),
            Dhcpv6ServerDiscovery(probe.transactionId6, probe.clientDuid, FamilyLimits(limits)),
            RouterDiscovery(routerLimits)});
        VlanCensus vlan;
        vlan.probe = std::move(probe);
        m_result.vlans.push_back(std::move(vlan));
    }
}

std::optional<std::size_t> Census::Find(std::optional<std::uint16_t> vlan) const
{
    const std::size_t id = vlan.value_or(0);
    if (id >= m_slots.size() || m_slots[id] == 0)
        return std::nullopt;
    return m_slots[id] - 1U;
}

std::optional<std::size_t> Census::Addressee4(const std::uint8_t* packet, std::size_t size) const
{
    const std::size_t header = Ipv4HeaderSize(packet, size);
    const std::size_t bootp = header + kUdpHeaderSize;
    if (header == 0 || packet[9] != kProtocolUdp || size < bootp + kBootpChaddr + 6 ||
        ReadBe16(packet + header + 2) != kDhcpClientPort)
        return std::nullopt;
    const auto known = m_byXid.find(ReadBe32(packet + bootp + kBootpXid));
    if (known == m_byXid.end())
        return std::nullopt;
    const HardwareAddress& mac = m_result.vlans[known->second].probe.clientMac;
    if (!std::equal(mac.begin(), mac.end(), packet + bootp + kBootpChaddr))
        return std::nullopt;
    return known->second;
}

std::optional<std::size_t> Census::Addressee6(const std::uint8_t* packet, std::size_t size) const
{
    const std::size_t message = kIpv6HeaderSize + kUdpHeaderSize;
    if (size < message + 4 || packet[6] != kProtocolUdp ||
        ReadBe16(packet + kIpv6HeaderSize + 2) != kDhcpv6ClientPort)
        return std::nullopt;
    const std::uint32_t transactionId = ReadBe32(packet + message) & 0xFFFFFF;
    const auto known = m_byXid6.find(transactionId);
    if (known == m_byXid6.end())
        return std::nullopt;
    return known->second;
}

bool Census::Full() const
{
    return m_responders >= m_limits.maxResponders || m_storedBytes >= m_limits.maxStoredBytes;
}

template <typename Sorter, typename Counts>
void Census::Sort(Sorter& sorter, Counts& counts, const CensusFrame& frame,
                  std::optional<std::chrono::microseconds>& first, const std::uint8_t* packet,
                  std::size_t size)
{
    // Copies merge into a server kept without growing the census; a new one
    // adds one responder and what one packet can hold, so the census ends at
    // most one responder past maxStoredBytes.
    const std::size_t over = counts.packets - sorter.Counts().packets;
    if (Full())
    {
        ++m_result.dropped;
        ++counts.packets;
        ++counts.dropped;
        return;
    }
    const std::size_t responders = KeptResponders(sorter);
    const PacketVerdict verdict = sorter.Take(packet, size, frame.sourceMac, frame.checksumPending);
    if (KeptResponders(sorter) > responders)
    {
        ++m_responders;
        m_storedBytes += LastCost(sorter);
    }
    counts = sorter.Counts();
    counts.packets += over;
    counts.dropped += over;
    if (verdict == PacketVerdict::Offer && !first)
        first = frame.at;
}

void Census::TakeIpv4(const CensusFrame& frame, std::size_t slot, const std::uint8_t* packet,
                      std::size_t size)
{
    VlanCensus& vlan = m_result.vlans[slot];
    if (IsIcmpErrorAboutDiscover(packet, size))
        ++vlan.seen.icmpErrors;
    else if ((m_result.families & kCensusDhcpv4) != 0)
        Sort(m_sorters[slot].dhcpv4, vlan.counts, frame, vlan.firstOffer, packet, size);
}

// UDP goes to the DHCPv6 sorter, a Router Advertisement to the routers';
// other ICMPv6 (our neighbours' solicitations) is only seen.
void Census::TakeIpv6(const CensusFrame& frame, std::size_t slot, const std::uint8_t* packet,
                      std::size_t size)
{
    VlanCensus& vlan = m_result.vlans[slot];
    Sorters& sorters = m_sorters[slot];
    if (size <= kIpv6HeaderSize)
        return;
    if (IsIcmpv6ErrorAboutProbe(packet, size))
        ++vlan.seen.icmpErrors;
    else if (packet[6] == kProtocolUdp && (m_result.families & kCensusDhcpv6) != 0)
        Sort(sorters.dhcpv6, vlan.counts6, frame, vlan.firstAdvertise, packet, size);
    else if (packet[6] == kProtocolIcmpv6 &&
             packet[kIpv6HeaderSize] == kIcmpv6RouterAdvertisement &&
             (m_result.families & kCensusRouters) != 0)
        Sort(sorters.routers, vlan.routerCounts, frame, vlan.firstRouter, packet, size);
}

void Census::Take(const CensusFrame& frame, const std::uint8_t* packet, std::size_t size)
{
    const std::optional<std::size_t> slot = Find(frame.vlan);
    std::optional<std::size_t> addressee;
    if (frame.etherType == kEtherTypeIpv4)
        addressee = Addressee4(packet, size);
    else if (frame.etherType == kEtherTypeIpv6)
        addressee = Addressee6(packet, size);
    if (addressee && addressee != slot)
        ++m_result.vlans[*addressee].seen.otherVlanAnswers;
    if (!slot)
    {
        ++m_result.unplannedFrames;
        return;
    }
    ++m_result.vlans[*slot].seen.frames;
    if (frame.etherType == kEtherTypeIpv4)
        TakeIpv4(frame, *slot, packet, size);
    else if (frame.etherType == kEtherTypeIpv6)
        TakeIpv6(frame, *slot, packet, size);
}

CensusResult Census::TakeResult()
{
    for (std::size_t slot = 0; slot < m_sorters.size(); ++slot)
    {
        m_result.vlans[slot].servers = m_sorters[slot].dhcpv4.TakeServers();
        m_result.vlans[slot].servers6 = m_sorters[slot].dhcpv6.TakeServers();
        m_result.vlans[slot].routers = m_sorters[slot].routers.TakeRouters();
    }
    return std::move(m_result);
}
