#include "linux/dhcp_inform.h"

#include "core/model/requested_options.h"
#include "core/wire/bootp_message.h"
#include "core/wire/ethernet_frame.h"
#include "core/wire/udp_datagram.h"
#include "linux/frame_socket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <sys/random.h>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFF;
// The largest reply we ask for: the Ethernet MTU, so it needs no IP fragments.
constexpr std::uint16_t kMaxReplySize = 1500;
constexpr HardwareAddress kBroadcastMac = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// A server must not answer a DHCPINFORM with these (RFC 2131 4.3.5): they
// describe a lease, and the client holds none from this exchange.
constexpr std::uint8_t kLeaseOnlyOptions[] = {kOptionRequestedAddress, kOptionLeaseTime,
                                              kOptionRenewalTime, kOptionRebindingTime};
template <std::size_t N> bool IsOneOf(std::uint8_t code, const std::uint8_t (&codes)[N])
{
    return std::find(std::begin(codes), std::end(codes), code) != std::end(codes);
}

// The rows the program shows that a server can fill in for an inform.
std::vector<std::uint8_t> RequestedOptions()
{
    std::vector<std::uint8_t> codes;
    for (const std::uint8_t code : kRequestedOptions)
    {
        if (!IsOneOf(code, kLeaseOnlyOptions) && !kDhcpv4Options.Find(code)->Has(kMessageOption))
            codes.push_back(code);
    }
    return codes;
}

class InformLeaseSource final : public CLeaseSource
{
public:
    explicit InformLeaseSource(const InformSettings& settings) : m_settings(settings) {}

    const char* Name() const override { return "inform"; }

    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    int Exchange(const FrameSocket& socket, const std::vector<std::uint8_t>& request, Lease& lease);
    bool IsAnswer(const std::uint8_t* packet, const ReceivedFrame& frame, Lease& lease) const;

    InformSettings m_settings;
    std::uint32_t m_transactionId = 0;
    HardwareAddress m_hardwareAddress{};
};

int InformLeaseSource::Read(const LeaseInterface& iface, Lease& lease)
{
    const auto address = std::find_if(iface.m_IpAddresses.begin(), iface.m_IpAddresses.end(),
                                      [](std::uint32_t value) { return value != 0; });
    if (address == iface.m_IpAddresses.end())
        return ENOENT;

    FrameSocket socket;
    if (const int error = socket.Open(iface.m_strName, FrameFilter::Dhcpv4Client, false))
        return error;
    if (const int error = socket.InterfaceMac(m_hardwareAddress))
        return error;
    if (m_settings.m_fnOpened)
    {
        if (const int error = m_settings.m_fnOpened())
            return error;
    }
    if (getrandom(&m_transactionId, sizeof m_transactionId, 0) !=
        static_cast<ssize_t>(sizeof m_transactionId))
        return errno;

    InformRequest request;
    request.m_HardwareAddress.assign(m_hardwareAddress.begin(), m_hardwareAddress.end());
    request.m_nTransactionId = m_transactionId;
    request.m_nClientAddress = *address;
    request.m_RequestedOptions = RequestedOptions();
    request.m_nMaxMessageSize = kMaxReplySize;
    const UdpEndpoints endpoints{*address, m_settings.m_nServerAddress, kDhcpClientPort,
                                 m_settings.m_nServerPort};
    return Exchange(socket,
                    BuildEthernetFrame(kBroadcastMac, m_hardwareAddress, std::nullopt,
                                       kEtherTypeIpv4,
                                       BuildUdpPacket(endpoints, BuildInformRequest(request))),
                    lease);
}

// Sends the request once per entry of the schedule, waiting as long as it
// says after each send, and keeps the transaction id so a late answer to an
// earlier send still counts.
int InformLeaseSource::Exchange(const FrameSocket& socket, const std::vector<std::uint8_t>& request,
                                Lease& lease)
{
    std::vector<std::uint8_t> buffer;
    for (const std::chrono::milliseconds wait : m_settings.m_Waits)
    {
        const Clock::time_point deadline = Clock::now() + wait;
        if (const int result = socket.Send(request, deadline))
            return result;
        for (;;)
        {
            ReceivedFrame frame;
            const int result = socket.Receive(deadline, buffer, frame);
            if (result == ETIMEDOUT)
                break;
            if (result != 0)
                return result;
            if (IsAnswer(buffer.data() + kEthernetHeaderSize, frame, lease))
                return 0;
        }
    }
    return ETIMEDOUT;
}

// A DHCPACK from the server's port (and address, when it was not a broadcast)
// to this request; anything else is some other exchange's or a forgery.
bool InformLeaseSource::IsAnswer(const std::uint8_t* packet, const ReceivedFrame& frame,
                                 Lease& lease) const
{
    const std::optional<UdpPacketView> udp =
        ParseUdpPacket(packet, frame.packetSize, frame.checksumPending);
    if (!udp || udp->m_endpoints.m_nSourcePort != m_settings.m_nServerPort ||
        udp->m_endpoints.m_nDestinationPort != kDhcpClientPort)
        return false;
    if (m_settings.m_nServerAddress != kBroadcastAddress &&
        udp->m_endpoints.m_nSourceAddress != m_settings.m_nServerAddress)
        return false;
    std::optional<BootpMessage> message = ParseBootpMessage(udp->m_pPayload, udp->m_nPayloadSize);
    if (!message || message->m_nOp != kBootReply || message->m_nTransactionId != m_transactionId ||
        MessageType(*message) != kDhcpAck ||
        !std::equal(m_hardwareAddress.begin(), m_hardwareAddress.end(),
                    message->m_ClientHardware.begin()))
        return false;

    for (const std::uint8_t code : kLeaseOnlyOptions)
        message->m_mapOptions.erase(code);
    lease.m_mapOptions = std::move(message->m_mapOptions);
    return true;
}
} // namespace

std::unique_ptr<CLeaseSource> MakeInformLeaseSource(const InformSettings& settings)
{
    return std::make_unique<InformLeaseSource>(settings);
}
