#include "core/wire/dhcpv6_discovery.h"

#include "core/options/dhcpv6_options.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/ipv6_datagram.h"

#include <utility>

namespace
{
constexpr std::uint16_t kOptionClientId6 = 1;
constexpr std::uint16_t kOptionIaNa = 3;
constexpr std::uint16_t kOptionRequest6 = 6;
constexpr std::uint16_t kOptionElapsedTime = 8;
constexpr std::uint16_t kOptionIaPd = 25;

void AppendBe16(OptionBytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}

// An identity association of IA_NA's and IA_PD's layout: the IAID, and T1
// and T2 left to the server (0), with no addresses or prefixes to hint at.
OptionBytes IdentityAssociation(std::uint32_t iaid)
{
    OptionBytes bytes(12);
    for (std::size_t i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(iaid >> (24 - 8 * i));
    return bytes;
}
} // namespace

std::vector<std::uint16_t> SolicitRequestedOptions()
{
    std::vector<std::uint16_t> codes;
    for (const Dhcpv6Row& row : kDhcpv6Options)
    {
        if (!row.Has(kNotRequested))
            codes.push_back(row.nCode);
    }
    return codes;
}

std::vector<std::uint8_t> BuildSolicit(const SolicitRequest& request)
{
    OptionBytes oro;
    for (const std::uint16_t code : SolicitRequestedOptions())
        AppendBe16(oro, code);
    Dhcpv6Message solicit;
    solicit.type = kDhcpv6Solicit;
    solicit.transactionId = request.transactionId & 0xFFFFFF;
    solicit.options = {{kOptionClientId6, request.clientDuid},
                       {kOptionElapsedTime, {0, 0}},
                       {kOptionIaNa, IdentityAssociation(request.iaid)},
                       {kOptionIaPd, IdentityAssociation(request.iaid)},
                       {kOptionRequest6, oro}};
    return WriteDhcpv6Message(solicit);
}

std::vector<std::uint8_t> BuildSolicitPacket(const SolicitRequest& request,
                                             const Ipv6Address& source)
{
    return BuildUdp6Packet({source, kAllDhcpv6Servers, kDhcpv6ClientPort, kDhcpv6ServerPort},
                           BuildSolicit(request));
}

namespace
{
constexpr std::uint16_t kOptionServerId6 = 2;
constexpr std::uint16_t kOptionPreference = 7;

using Counts6 = Dhcpv6DiscoveryCounts;

bool SameDuid(const DiscoveredServer6& a, const DiscoveredServer6& b)
{
    return a.duid == b.duid;
}

bool SamePath6(const DiscoveredServer6& a, const DiscoveredServer6& b)
{
    return a.path.address == b.path.address && a.path.mac == b.path.mac;
}

const Dhcpv6Option* FindOption(const Dhcpv6Options& options, std::uint16_t code)
{
    for (const Dhcpv6Option& option : options)
    {
        if (option.code == code)
            return &option;
    }
    return nullptr;
}
} // namespace

Dhcpv6ServerDiscovery::Dhcpv6ServerDiscovery(std::uint32_t transactionId,
                                             std::vector<std::uint8_t> clientDuid,
                                             const DiscoveryLimits& limits)
    : m_transactionId(transactionId & 0xFFFFFF), m_clientDuid(std::move(clientDuid)),
      m_servers(limits.maxServers, limits.maxOptionBytes,
                {SameDuid, SamePath6, &DiscoveredServer6::advertises, kServer6Conflict})
{
}

PacketVerdict Dhcpv6ServerDiscovery::Take(const std::uint8_t* ipv6Packet, std::size_t size,
                                          const HardwareAddress& sourceMac, bool checksumPending)
{
    const Sorted<Dhcpv6DiscoveryCounts> sorted = Sort(ipv6Packet, size, sourceMac, checksumPending);
    ++m_counts.packets;
    ++(m_counts.*sorted.count);
    return sorted.verdict;
}

Sorted<Dhcpv6DiscoveryCounts> Dhcpv6ServerDiscovery::Sort(const std::uint8_t* ipv6Packet,
                                                          std::size_t size,
                                                          const HardwareAddress& sourceMac,
                                                          bool checksumPending)
{
    constexpr std::uint8_t kProtocolUdp = 17;
    if (Ipv6NextHeader(ipv6Packet, size) != kProtocolUdp)
        return {PacketVerdict::Ignored, &Counts6::ignored};
    const std::optional<Udp6PacketView> udp = ParseUdp6Packet(ipv6Packet, size, checksumPending);
    if (!udp)
        return {PacketVerdict::Malformed, &Counts6::malformed};
    if (udp->endpoints.sourcePort != kDhcpv6ServerPort ||
        udp->endpoints.destinationPort != kDhcpv6ClientPort)
        return {PacketVerdict::Ignored, &Counts6::ignored};
    std::optional<Dhcpv6Message> message = ParseDhcpv6Message(udp->payload, udp->payloadSize);
    if (!message)
        return {PacketVerdict::Malformed, &Counts6::malformed};
    if (message->type != kDhcpv6Advertise)
        return {PacketVerdict::Ignored, &Counts6::ignored};
    if (message->transactionId != m_transactionId)
        return {PacketVerdict::OtherXid, &Counts6::otherTransaction};
    const Dhcpv6Option* clientId = FindOption(message->options, kOptionClientId6);
    if (clientId == nullptr || clientId->data != m_clientDuid)
        return {PacketVerdict::OtherClient, &Counts6::otherClient};
    const Dhcpv6Option* serverId = FindOption(message->options, kOptionServerId6);
    if (serverId == nullptr || serverId->data.empty())
        return {PacketVerdict::Malformed, &Counts6::noServerId};

    DiscoveredServer6 server;
    server.duid = serverId->data;
    server.path = {udp->endpoints.source, sourceMac};
    const Dhcpv6Option* preference = FindOption(message->options, kOptionPreference);
    if (preference != nullptr && preference->data.size() == 1)
        server.preference = preference->data[0];
    std::size_t bytes = 0;
    for (const Dhcpv6Option& option : message->options)
        bytes += option.data.size();
    server.options = std::move(message->options);
    if (m_servers.Keep(std::move(server), bytes) == PacketVerdict::Dropped)
        return {PacketVerdict::Dropped, &Counts6::dropped};
    return {PacketVerdict::Offer, &Counts6::advertises};
}
