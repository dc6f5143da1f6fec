#include "core/wire/dhcp_discovery.h"

#include "core/wire/byte_order.h"
#include "core/wire/udp_datagram.h"

#include <algorithm>

namespace
{
constexpr std::uint8_t kEthernet = 1;
constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFF;
constexpr std::uint8_t kProtocolUdp = 17;
constexpr std::size_t kFragmentOffset = 6;
constexpr std::uint16_t kMoreFragmentsAndOffset = 0x3FFF;
// What tells a client where it is: another value under the same server id is
// another server's offer.
constexpr std::uint8_t kSettingsCompared[] = {1, 3, 6}; // subnet mask, routers, DNS servers

// A piece of a UDP datagram that IP fragmented: more follow, or it is not the
// first (and has no UDP header). The filter passes these so they are counted.
bool IsUdpFragment(const std::uint8_t* pPacket, std::size_t nSize)
{
    return nSize >= kIpv4HeaderSize && (pPacket[0] >> 4) == 4 && pPacket[9] == kProtocolUdp &&
           (ReadBe16(pPacket + kFragmentOffset) & kMoreFragmentsAndOffset) != 0;
}

bool SameSource(const OfferPath& a, const OfferPath& b)
{
    return a.m_nSourceAddress == b.m_nSourceAddress && a.m_SourceMac == b.m_SourceMac;
}

bool SameSettings(const OptionMap& a, const OptionMap& b)
{
    return std::all_of(std::begin(kSettingsCompared), std::end(kSettingsCompared),
                       [&](std::uint8_t nCode)
                       {
                           const auto inA = a.find(nCode);
                           const auto inB = b.find(nCode);
                           if (inA == a.end() || inB == b.end())
                               return inA == a.end() && inB == b.end();
                           return inA->second == inB->second;
                       });
}

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
    message.flags = kBroadcastFlag;

    OptionMap& options = message.m_mapOptions;
    options[kOptionMessageType] = {kDhcpDiscover};
    OptionBytes& clientId = options[kOptionClientId];
    clientId.push_back(kEthernet);
    clientId.insert(clientId.end(), request.m_ClientMac.begin(), request.m_ClientMac.end());
    options[kOptionParameterList] = request.m_RequestedOptions;
    options[kOptionMaxMessageSize] = {static_cast<std::uint8_t>(request.m_nMaxMessageSize >> 8),
                                      static_cast<std::uint8_t>(request.m_nMaxMessageSize)};
    return SerializeBootpMessage(message);
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
    ++m_counts.m_nPackets;
    switch (verdict)
    {
    case PacketVerdict::Offer:
        ++m_counts.m_nOffers;
        break;
    case PacketVerdict::Fragment:
        ++m_counts.m_nFragments;
        break;
    case PacketVerdict::OtherXid:
        ++m_counts.m_nOtherXid;
        break;
    case PacketVerdict::OtherClient:
        ++m_counts.m_nOtherClient;
        break;
    case PacketVerdict::Nak:
        ++m_counts.m_nNaks;
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
    if (IsUdpFragment(pPacket, nSize))
        return PacketVerdict::Fragment;
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
    if (message->m_nOp != kBootReply)
        return PacketVerdict::Ignored;
    if (message->m_nTransactionId != m_nTransactionId)
        return PacketVerdict::OtherXid;
    // Our transaction id with another chaddr: someone answers what they
    // overheard, or a server mangles the address.
    if (message->m_nHardwareLength != m_ClientMac.size() ||
        !std::equal(m_ClientMac.begin(), m_ClientMac.end(), message->m_ClientHardware.begin()))
        return PacketVerdict::OtherClient;
    const std::uint8_t nType = MessageType(*message);
    if (nType == kDhcpNak)
        return PacketVerdict::Nak;
    if (nType != kDhcpOffer)
        return PacketVerdict::Ignored;
    // An offer must name its server (RFC 2131 table 3). One that does not is
    // still a server on the link, known by where it came from.
    std::optional<std::uint32_t> nServerId;
    const auto serverId = message->m_mapOptions.find(kOptionServerId);
    if (serverId != message->m_mapOptions.end() && serverId->second.size() == 4)
        nServerId = ReadBe32(serverId->second.data());
    else
        ++m_counts.m_nNoServerId;
    const OfferPath source{udp->m_endpoints.m_nSourceAddress, sourceMac};
    return Keep(*message, nServerId, source);
}

PacketVerdict CServerDiscovery::Keep(BootpMessage& offer, std::optional<std::uint32_t> nServerId,
                                     const OfferPath& source)
{
    const auto known =
        std::find_if(m_servers.begin(), m_servers.end(),
                     [&](const DiscoveredServer& server)
                     {
                         return server.m_nServerId == nServerId &&
                                SameSource(server.m_source, source) &&
                                SameSettings(server.m_mapOptions, offer.m_mapOptions);
                     });
    if (known != m_servers.end())
    {
        ++known->m_nOffers;
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
    server.m_source = source;
    server.m_nOffers = 1;
    server.m_nFlags = nServerId ? 0u : unsigned{kServerNoId};
    server.m_nYourAddress = offer.m_nYourAddress;
    server.m_mapOptions = std::move(offer.m_mapOptions);
    for (DiscoveredServer& other : m_servers)
    {
        if (nServerId && other.m_nServerId == nServerId)
        {
            other.m_nFlags |= kServerConflict;
            server.m_nFlags |= kServerConflict;
        }
    }
    m_servers.push_back(std::move(server));
    return PacketVerdict::Offer;
}
