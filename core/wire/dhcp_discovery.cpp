#include "core/wire/dhcp_discovery.h"

#include "core/wire/byte_order.h"
#include "core/wire/udp_datagram.h"

#include <algorithm>

namespace
{
constexpr std::uint8_t kEthernet = 1;
constexpr std::uint16_t kBroadcastFlag = 0x8000;
constexpr std::size_t kFlagsOffset = 10;
constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFF;

} // namespace

std::vector<std::uint8_t> BuildDiscoverRequest(const DiscoverRequest& request)
{
    BootpMessage message;
    message.m_nOp = kBootRequest;
    message.m_nHardwareType = kEthernet;
    message.m_nHardwareLength = static_cast<std::uint8_t>(request.m_ClientMac.size());
    std::copy(request.m_ClientMac.begin(), request.m_ClientMac.end(),
              message.m_ClientHardware.begin());
    message.m_nTransactionId = request.m_nTransactionId;

    OptionMap& options = message.m_mapOptions;
    options[kOptionMessageType] = {kDhcpDiscover};
    OptionBytes& clientId = options[kOptionClientId];
    clientId.push_back(kEthernet);
    clientId.insert(clientId.end(), request.m_ClientMac.begin(), request.m_ClientMac.end());
    options[kOptionParameterList] = request.m_RequestedOptions;
    options[kOptionMaxMessageSize] = {static_cast<std::uint8_t>(request.m_nMaxMessageSize >> 8),
                                      static_cast<std::uint8_t>(request.m_nMaxMessageSize)};
    std::vector<std::uint8_t> bytes = SerializeBootpMessage(message);
    bytes[kFlagsOffset] = static_cast<std::uint8_t>(kBroadcastFlag >> 8);
    return bytes;
}

std::vector<std::uint8_t> BuildDiscoverPacket(const DiscoverRequest& request)
{
    UdpEndpoints endpoints;
    endpoints.m_nDestinationAddress = kBroadcastAddress;
    endpoints.m_nSourcePort = kDhcpClientPort;
    endpoints.m_nDestinationPort = kDhcpServerPort;
    return BuildUdpPacket(endpoints, BuildDiscoverRequest(request));
}

bool IsLocallyAdministeredUnicast(const HardwareAddress& address)
{
    return (address[0] & 0x02) != 0 && (address[0] & 0x01) == 0;
}

CServerDiscovery::CServerDiscovery(std::uint32_t nTransactionId, const HardwareAddress& clientMac,
                                   const DiscoveryLimits& limits)
    : m_nTransactionId(nTransactionId), m_ClientMac(clientMac), m_limits(limits)
{
}

PacketVerdict CServerDiscovery::Take(const std::uint8_t* pPacket, std::size_t nSize,
                                     const HardwareAddress& sourceMac, bool bChecksumPending)
{
    const PacketVerdict verdict = Sort(pPacket, nSize, sourceMac, bChecksumPending);
    switch (verdict)
    {
    case PacketVerdict::Offer:
        break;
    case PacketVerdict::Ignored:
        ++m_counts.m_nIgnored;
        break;
    case PacketVerdict::Malformed:
        ++m_counts.m_nMalformed;
        break;
    case PacketVerdict::Dropped:
        ++m_counts.m_nDropped;
        break;
    }
    return verdict;
}

PacketVerdict CServerDiscovery::Sort(const std::uint8_t* pPacket, std::size_t nSize,
                                     const HardwareAddress& sourceMac, bool bChecksumPending)
{
    const std::optional<UdpPacketView> udp = ParseUdpPacket(pPacket, nSize, bChecksumPending);
    if (!udp)
        return PacketVerdict::Malformed;
    // Port 68 holds every client's traffic: another port is not ours at all,
    // and an answer from any port but 67 is no server's.
    if (udp->m_endpoints.m_nDestinationPort != kDhcpClientPort ||
        udp->m_endpoints.m_nSourcePort != kDhcpServerPort)
        return PacketVerdict::Ignored;
    std::optional<BootpMessage> message = ParseBootpMessage(udp->m_pPayload, udp->m_nPayloadSize);
    if (!message)
        return PacketVerdict::Malformed;
    if (message->m_nOp != kBootReply || message->m_nTransactionId != m_nTransactionId ||
        message->m_nHardwareLength != m_ClientMac.size() ||
        !std::equal(m_ClientMac.begin(), m_ClientMac.end(), message->m_ClientHardware.begin()) ||
        MessageType(*message) != kDhcpOffer)
        return PacketVerdict::Ignored;
    // An offer must name its server (RFC 2131 table 3): without it, no
    // request could ever accept it.
    const auto serverId = message->m_mapOptions.find(kOptionServerId);
    if (serverId == message->m_mapOptions.end() || serverId->second.size() != 4)
        return PacketVerdict::Malformed;
    const OfferPath path{udp->m_endpoints.m_nSourceAddress, sourceMac};
    return Keep(*message, ReadBe32(serverId->second.data()), path);
}

PacketVerdict CServerDiscovery::Keep(BootpMessage& offer, std::uint32_t nServerId,
                                     const OfferPath& path)
{
    const auto known =
        std::find_if(m_servers.begin(), m_servers.end(),
                     [nServerId](const DiscoveredServer& s) { return s.m_nServerId == nServerId; });
    if (known != m_servers.end())
    {
        ++known->m_nOffers;
        const bool bNewPath = std::none_of(known->m_Paths.begin(), known->m_Paths.end(),
                                           [&path](const OfferPath& p) {
                                               return p.m_nSourceAddress == path.m_nSourceAddress &&
                                                      p.m_SourceMac == path.m_SourceMac;
                                           });
        if (bNewPath && known->m_Paths.size() < m_limits.m_nMaxPathsPerServer)
            known->m_Paths.push_back(path);
        return PacketVerdict::Offer;
    }

    std::size_t nBytes = 0;
    for (const auto& option : offer.m_mapOptions)
        nBytes += option.second.size();
    if (m_servers.size() >= m_limits.m_nMaxServers ||
        nBytes > m_limits.m_nMaxOptionBytes - m_nOptionBytes)
        return PacketVerdict::Dropped;
    m_nOptionBytes += nBytes;
    DiscoveredServer server;
    server.m_nServerId = nServerId;
    server.m_Paths.push_back(path);
    server.m_nOffers = 1;
    server.m_nYourAddress = offer.m_nYourAddress;
    server.m_mapOptions = std::move(offer.m_mapOptions);
    m_servers.push_back(std::move(server));
    return PacketVerdict::Offer;
}
