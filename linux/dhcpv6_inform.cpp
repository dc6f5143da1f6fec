#include "linux/dhcpv6_inform.h"

#include "core/wire/dhcpv6_discovery.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/duid.h"
#include "core/wire/ethernet_frame.h"
#include "core/wire/ipv6_datagram.h"
#include "linux/frame_socket.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <sys/random.h>

namespace
{
using Clock = std::chrono::steady_clock;

// All_DHCP_Relay_Agents_and_Servers' Ethernet group address (RFC 2464 7).
constexpr HardwareAddress kAllServersMac = {0x33, 0x33, 0x00, 0x01, 0x00, 0x02};

constexpr std::uint16_t kOptionClientId = 1;
constexpr std::uint16_t kOptionServerId = 2;
constexpr std::uint16_t kOptionRequest = 6;
constexpr std::uint16_t kOptionElapsedTime = 8;

OptionBytes Be16(std::uint16_t value)
{
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

class Inform6Source final : public Lease6Source
{
public:
    explicit Inform6Source(const Inform6Settings& settings) : m_settings(settings) {}

    const char* Name() const override { return "inform"; }
    int Read(const LeaseInterface& iface, Lease6& lease) override;

private:
    std::vector<std::uint8_t> Request(const Udp6Endpoints& endpoints,
                                      Clock::duration elapsed) const;
    bool IsAnswer(const std::uint8_t* packet, const ReceivedFrame& frame, Lease6& lease) const;

    Inform6Settings m_settings;
    std::uint32_t m_transactionId = 0;
    OptionBytes m_duid;
    HardwareAddress m_mac{};
    Ipv6Address m_linkLocal{};
};

int Inform6Source::Read(const LeaseInterface& iface, Lease6& lease)
{
    if (!iface.linkLocal)
        return ENOENT;
    m_linkLocal = *iface.linkLocal;

    FrameSocket socket;
    if (const int error = socket.Open(iface.m_strName, FrameFilter::Dhcpv6Client, false))
        return error;
    if (const int error = socket.InterfaceMac(m_mac))
        return error;
    if (m_settings.opened)
    {
        if (const int error = m_settings.opened())
            return error;
    }
    if (getrandom(&m_transactionId, sizeof m_transactionId, 0) !=
        static_cast<ssize_t>(sizeof m_transactionId))
        return errno;
    m_transactionId &= 0xFFFFFF;
    m_duid = MakeDuidLl(m_mac);
    const Udp6Endpoints endpoints{m_linkLocal, kAllDhcpv6Servers, kDhcpv6ClientPort,
                                  kDhcpv6ServerPort};

    // One send per entry of the schedule, the same transaction throughout, so
    // a late answer to an earlier send still counts.
    std::vector<std::uint8_t> buffer;
    const Clock::time_point start = Clock::now();
    for (const std::chrono::milliseconds wait : m_settings.waits)
    {
        const Clock::time_point sent = Clock::now();
        const Clock::time_point deadline = sent + wait;
        if (const int error = socket.Send(Request(endpoints, sent - start), deadline))
            return error;
        for (;;)
        {
            ReceivedFrame frame;
            const int error = socket.Receive(deadline, buffer, frame);
            if (error == ETIMEDOUT)
                break;
            if (error != 0)
                return error;
            if (IsAnswer(buffer.data() + kEthernetHeaderSize, frame, lease))
                return 0;
        }
    }
    return ETIMEDOUT;
}

// The Information-request in its frame, with its Elapsed Time (RFC 8415 21.9): hundredths
// of a second since the first send, 0xFFFF for longer than that holds.
std::vector<std::uint8_t> Inform6Source::Request(const Udp6Endpoints& endpoints,
                                                 Clock::duration elapsed) const
{
    OptionBytes oro;
    for (const std::uint16_t code : SolicitRequestedOptions())
    {
        const OptionBytes bytes = Be16(code);
        oro.insert(oro.end(), bytes.begin(), bytes.end());
    }
    const auto hundredths =
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10;
    Dhcpv6Message request;
    request.type = kDhcpv6InformationRequest;
    request.transactionId = m_transactionId;
    request.options = {{kOptionClientId, m_duid},
                       {kOptionRequest, oro},
                       {kOptionElapsedTime,
                        Be16(static_cast<std::uint16_t>(std::min<long long>(hundredths, 0xFFFF)))}};
    return BuildEthernetFrame(kAllServersMac, m_mac, std::nullopt, kEtherTypeIpv6,
                              BuildUdp6Packet(endpoints, WriteDhcpv6Message(request)));
}

// A Reply from a server's port to this link-local address and transaction,
// naming its server and, when it names a client, this one (RFC 8415 16.10);
// anything else is another exchange's or a forgery.
bool Inform6Source::IsAnswer(const std::uint8_t* packet, const ReceivedFrame& frame,
                             Lease6& lease) const
{
    const std::optional<Udp6PacketView> udp =
        ParseUdp6Packet(packet, frame.packetSize, frame.checksumPending);
    if (!udp || udp->endpoints.sourcePort != kDhcpv6ServerPort ||
        udp->endpoints.destinationPort != kDhcpv6ClientPort ||
        udp->endpoints.destination != m_linkLocal)
        return false;
    std::optional<Dhcpv6Message> reply = ParseDhcpv6Message(udp->payload, udp->payloadSize);
    if (!reply || reply->type != kDhcpv6Reply || reply->transactionId != m_transactionId)
        return false;
    const auto find = [&reply](std::uint16_t code)
    {
        return std::find_if(reply->options.begin(), reply->options.end(),
                            [code](const Dhcpv6Option& option) { return option.code == code; });
    };
    const auto clientId = find(kOptionClientId);
    if (find(kOptionServerId) == reply->options.end() ||
        (clientId != reply->options.end() && clientId->data != m_duid))
        return false;
    lease.options = std::move(reply->options);
    return true;
}
} // namespace

std::unique_ptr<Lease6Source> MakeInform6Source(const Inform6Settings& settings)
{
    return std::make_unique<Inform6Source>(settings);
}
