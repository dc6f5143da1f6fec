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
constexpr std::uint8_t kSettingsCompared[] = {kOptionSubnetMask, kOptionRouters, kOptionDnsServers};

// A piece of a UDP datagram that IP fragmented: more follow, or it is not the
// first (and has no UDP header). The filter passes these so they are counted.
bool IsUdpFragment(const std::uint8_t* packet, std::size_t size)
{
    return size >= kIpv4HeaderSize && (packet[0] >> 4) == 4 && packet[9] == kProtocolUdp &&
           (ReadBe16(packet + kFragmentOffset) & kMoreFragmentsAndOffset) != 0;
}

bool SamePath(const OfferPath& a, const OfferPath& b)
{
    return a.address == b.address && a.mac == b.mac;
}

bool SameSettings(const OptionMap& a, const OptionMap& b)
{
    return std::all_of(std::begin(kSettingsCompared), std::end(kSettingsCompared),
                       [&](std::uint8_t code)
                       {
                           const auto inA = a.find(code);
                           const auto inB = b.find(code);
                           if (inA == a.end() || inB == b.end())
                               return inA == a.end() && inB == b.end();
                           return inA->second == inB->second;
                       });
}

} // namespace

std::vector<std::uint8_t> BuildDiscoverRequest(const DiscoverRequest& request)
{
    BootpMessage message =
        ClientBootpMessage(request.clientMac, request.transactionId, kDhcpDiscover);
    message.flags = kBroadcastFlag;
    OptionMap& options = message.m_mapOptions;
    options[kOptionParameterList] = request.requestedOptions;
    options[kOptionMaxMessageSize] = {static_cast<std::uint8_t>(request.maxMessageSize >> 8),
                                      static_cast<std::uint8_t>(request.maxMessageSize)};
    return SerializeBootpMessage(message);
}

BootpMessage ClientBootpMessage(const HardwareAddress& clientMac, std::uint32_t transactionId,
                                std::uint8_t type)
{
    BootpMessage message;
    message.m_nOp = kBootRequest;
    message.m_nHardwareType = kEthernet;
    message.m_nHardwareLength = static_cast<std::uint8_t>(clientMac.size());
    std::copy(clientMac.begin(), clientMac.end(), message.m_ClientHardware.begin());
    message.m_nTransactionId = transactionId;
    message.m_mapOptions[kOptionMessageType] = {type};
    OptionBytes& clientId = message.m_mapOptions[kOptionClientId];
    clientId.push_back(kEthernet);
    clientId.insert(clientId.end(), clientMac.begin(), clientMac.end());
    return message;
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

ServerDiscovery::ServerDiscovery(std::uint32_t transactionId, const HardwareAddress& clientMac,
                                 const DiscoveryLimits& limits)
    : m_transactionId(transactionId), m_clientMac(clientMac), m_limits(limits)
{
}

PacketVerdict ServerDiscovery::Take(const std::uint8_t* packet, std::size_t size,
                                    const HardwareAddress& sourceMac, bool checksumPending)
{
    const PacketVerdict verdict = Sort(packet, size, sourceMac, checksumPending);
    ++m_counts.packets;
    switch (verdict)
    {
    case PacketVerdict::Offer:
        ++m_counts.offers;
        break;
    case PacketVerdict::Fragment:
        ++m_counts.fragments;
        break;
    case PacketVerdict::OtherXid:
        ++m_counts.otherXid;
        break;
    case PacketVerdict::OtherClient:
        ++m_counts.otherClient;
        break;
    case PacketVerdict::Nak:
        ++m_counts.naks;
        break;
    case PacketVerdict::Ignored:
        ++m_counts.ignored;
        break;
    case PacketVerdict::Malformed:
        ++m_counts.malformed;
        break;
    case PacketVerdict::Dropped:
        ++m_counts.dropped;
        break;
    }
    return verdict;
}

PacketVerdict ServerDiscovery::Sort(const std::uint8_t* packet, std::size_t size,
                                    const HardwareAddress& sourceMac, bool checksumPending)
{
    if (IsUdpFragment(packet, size))
        return PacketVerdict::Fragment;
    const std::optional<UdpPacketView> udp = ParseUdpPacket(packet, size, checksumPending);
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
    if (message->m_nTransactionId != m_transactionId)
        return PacketVerdict::OtherXid;
    // Our transaction id with another chaddr: someone answers what they
    // overheard, or a server mangles the address.
    if (message->m_nHardwareLength != m_clientMac.size() ||
        !std::equal(m_clientMac.begin(), m_clientMac.end(), message->m_ClientHardware.begin()))
        return PacketVerdict::OtherClient;
    const std::uint8_t type = MessageType(*message);
    if (type == kDhcpNak)
        return PacketVerdict::Nak;
    if (type != kDhcpOffer)
        return PacketVerdict::Ignored;
    // An offer must name its server (RFC 2131 table 3). One that does not is
    // still a server on the link, known by where it came from.
    std::optional<std::uint32_t> serverId;
    const auto id = message->m_mapOptions.find(kOptionServerId);
    if (id != message->m_mapOptions.end() && id->second.size() == 4)
        serverId = ReadBe32(id->second.data());
    else
        ++m_counts.noServerId;
    const OfferPath path{udp->m_endpoints.m_nSourceAddress, sourceMac};
    return Keep(*message, serverId, path);
}

PacketVerdict ServerDiscovery::Keep(BootpMessage& offer, std::optional<std::uint32_t> serverId,
                                    const OfferPath& path)
{
    const auto known =
        std::find_if(m_servers.begin(), m_servers.end(),
                     [&](const DiscoveredServer& server)
                     {
                         return server.serverId == serverId && SamePath(server.path, path) &&
                                SameSettings(server.offer.m_mapOptions, offer.m_mapOptions);
                     });
    if (known != m_servers.end())
    {
        ++known->offers;
        return PacketVerdict::Offer;
    }

    std::size_t bytes = 0;
    for (const auto& option : offer.m_mapOptions)
        bytes += option.second.size();
    if (m_servers.size() >= m_limits.maxServers || bytes > m_limits.maxOptionBytes - m_optionBytes)
        return PacketVerdict::Dropped;
    m_optionBytes += bytes;
    DiscoveredServer server;
    server.serverId = serverId;
    server.path = path;
    server.offers = 1;
    server.flags = serverId ? 0u : unsigned{kServerNoId};
    server.offer.m_nYourAddress = offer.m_nYourAddress;
    server.offer.m_mapOptions = std::move(offer.m_mapOptions);
    for (const auto& option : server.offer.m_mapOptions)
        server.offer.m_mapSources.emplace_hint(server.offer.m_mapSources.end(), option.first,
                                               kOfferSource);
    for (DiscoveredServer& other : m_servers)
    {
        if (serverId && other.serverId == serverId)
        {
            other.flags |= kServerConflict;
            server.flags |= kServerConflict;
        }
    }
    m_servers.push_back(std::move(server));
    return PacketVerdict::Offer;
}
