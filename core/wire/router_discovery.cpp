#include "core/wire/router_discovery.h"

#include "core/wire/byte_order.h"
#include "core/wire/domain_names.h"
#include "core/wire/ipv6_datagram.h"
#include "core/wire/neighbor_discovery.h"

#include <algorithm>

namespace
{
constexpr std::uint8_t kNdHopLimit = 255;
constexpr std::size_t kAdvertisementSize = 16; // up to the options
constexpr std::uint8_t kManagedFlag = 0x80;
constexpr std::uint8_t kOtherConfigFlag = 0x40;
constexpr std::uint8_t kOnLinkFlag = 0x80;
constexpr std::uint8_t kAutonomousFlag = 0x40;
// Option data after type and length, per layout (RFC 4861 4.6, RFC 8106 5).
constexpr std::size_t kPrefixOptionData = 30;
constexpr std::size_t kMtuOptionData = 6;
constexpr std::size_t kDnsOptionHeader = 6; // reserved, lifetime
constexpr std::size_t kMaxPrefixLength = 128;

using RouterCounts = RouterDiscoveryCounts;

// RFC 4191 2.1: 01 high, 00 medium, 11 low; 10 is reserved and read as medium.
RouterPreference PreferenceOf(std::uint8_t flags)
{
    switch ((flags >> 3) & 0x3)
    {
    case 1:
        return RouterPreference::High;
    case 3:
        return RouterPreference::Low;
    default:
        return RouterPreference::Medium;
    }
}

void ReadPrefix(const NdOption& option, AdvertisedRouter& router)
{
    if (option.size < kPrefixOptionData || option.data[0] > kMaxPrefixLength)
        return;
    AdvertisedPrefix prefix;
    prefix.length = option.data[0];
    prefix.onLink = (option.data[1] & kOnLinkFlag) != 0;
    prefix.autonomous = (option.data[1] & kAutonomousFlag) != 0;
    prefix.validLifetime = ReadBe32(option.data + 2);
    prefix.preferredLifetime = ReadBe32(option.data + 6);
    std::copy_n(option.data + 14, prefix.prefix.size(), prefix.prefix.begin());
    router.prefixes.push_back(prefix);
}

void ReadDnsServers(const NdOption& option, AdvertisedRouter& router)
{
    constexpr std::size_t kAddress = 16;
    if (option.size < kDnsOptionHeader + kAddress || (option.size - kDnsOptionHeader) % kAddress)
        return;
    AdvertisedDnsServers servers;
    servers.lifetime = ReadBe32(option.data + 2);
    for (std::size_t at = kDnsOptionHeader; at < option.size; at += kAddress)
    {
        Ipv6Address& address = servers.servers.emplace_back();
        std::copy_n(option.data + at, kAddress, address.begin());
    }
    router.dnsServers.push_back(std::move(servers));
}

// RFC 8106 5.2: uncompressed names one after another, then zero bytes to the
// option's end. Nothing is kept of a list with a name that does not read.
void ReadSearchList(const NdOption& option, AdvertisedRouter& router)
{
    AdvertisedSearchList list;
    if (option.size < kDnsOptionHeader)
        return;
    list.lifetime = ReadBe32(option.data + 2);
    const std::uint8_t* names = option.data + kDnsOptionHeader;
    const std::size_t size = option.size - kDnsOptionHeader;
    std::size_t at = 0;
    while (at < size && names[at] != 0)
    {
        std::size_t end = at; // the name's root label
        while (end < size && names[end] != 0)
            end += std::size_t{names[end]} + 1;
        if (end >= size)
            return;
        std::optional<std::string> name = ReadUncompressedName(names + at, end + 1 - at);
        if (!name)
            return;
        list.domains.push_back(std::move(*name));
        at = end + 1;
    }
    if (list.domains.empty() ||
        std::any_of(names + at, names + size, [](std::uint8_t b) { return b != 0; }))
        return;
    router.searchLists.push_back(std::move(list));
}

std::optional<AdvertisedRouter> ReadAdvertisement(const Icmpv6PacketView& icmp,
                                                  const HardwareAddress& sourceMac)
{
    const std::uint8_t* message = icmp.message;
    if (icmp.hopLimit != kNdHopLimit || !IsLinkLocalUnicast(icmp.source) || message[1] != 0 ||
        icmp.messageSize < kAdvertisementSize)
        return std::nullopt;
    const std::optional<std::vector<NdOption>> options =
        ReadNdOptions(message + kAdvertisementSize, icmp.messageSize - kAdvertisementSize);
    if (!options)
        return std::nullopt;
    AdvertisedRouter router;
    router.address = icmp.source;
    router.mac = sourceMac;
    router.hopLimit = message[4];
    router.managed = (message[5] & kManagedFlag) != 0;
    router.otherConfig = (message[5] & kOtherConfigFlag) != 0;
    router.lifetime = ReadBe16(message + 6);
    if (router.lifetime != 0)
        router.preference = PreferenceOf(message[5]);
    router.reachableTime = ReadBe32(message + 8);
    router.retransTimer = ReadBe32(message + 12);
    for (const NdOption& option : *options)
    {
        switch (option.type)
        {
        case kNdSourceLinkLayer:
            if (!router.linkLayerOption)
                router.linkLayerOption = LinkLayerAddress(option);
            break;
        case kNdPrefixInformation:
            ReadPrefix(option, router);
            break;
        case kNdMtu:
            if (!router.mtu && option.size >= kMtuOptionData)
                router.mtu = ReadBe32(option.data + 2);
            break;
        case kNdRdnss:
            ReadDnsServers(option, router);
            break;
        case kNdDnssl:
            ReadSearchList(option, router);
            break;
        default:
            break;
        }
    }
    return router;
}

bool SameAddress(const AdvertisedRouter& a, const AdvertisedRouter& b)
{
    return a.address == b.address;
}

bool SameMac(const AdvertisedRouter& a, const AdvertisedRouter& b)
{
    return a.mac == b.mac;
}
} // namespace

std::vector<std::uint8_t> BuildRouterSolicitation(const Ipv6Address& source,
                                                  const HardwareAddress& mac)
{
    std::vector<std::uint8_t> message = {kIcmpv6RouterSolicitation, 0, 0, 0, 0, 0, 0, 0};
    AppendLinkLayerOption(message, kNdSourceLinkLayer, mac);
    return BuildIcmpv6Packet(source, kAllRouters, message);
}

std::optional<AdvertisedRouter> ParseRouterAdvertisement(const std::uint8_t* ipv6Packet,
                                                         std::size_t size,
                                                         const HardwareAddress& sourceMac,
                                                         bool checksumPending)
{
    const std::optional<Icmpv6PacketView> icmp =
        ParseIcmpv6Packet(ipv6Packet, size, checksumPending);
    if (!icmp || icmp->message[0] != kIcmpv6RouterAdvertisement)
        return std::nullopt;
    return ReadAdvertisement(*icmp, sourceMac);
}

RouterDiscovery::RouterDiscovery(const RouterDiscoveryLimits& limits)
    : m_routers(limits.maxRouters, limits.maxBytes,
                {SameAddress, SameMac, &AdvertisedRouter::advertisements, kRouterConflict})
{
}

PacketVerdict RouterDiscovery::Take(const std::uint8_t* ipv6Packet, std::size_t size,
                                    const HardwareAddress& sourceMac, bool checksumPending)
{
    const Sorted<RouterCounts> sorted = Sort(ipv6Packet, size, sourceMac, checksumPending);
    ++m_counts.packets;
    ++(m_counts.*sorted.count);
    return sorted.verdict;
}

Sorted<RouterCounts> RouterDiscovery::Sort(const std::uint8_t* ipv6Packet, std::size_t size,
                                           const HardwareAddress& sourceMac, bool checksumPending)
{
    if (Ipv6NextHeader(ipv6Packet, size) != kProtocolIcmpv6)
        return {PacketVerdict::Ignored, &RouterCounts::ignored};
    const std::optional<Icmpv6PacketView> icmp =
        ParseIcmpv6Packet(ipv6Packet, size, checksumPending);
    if (!icmp)
        return {PacketVerdict::Malformed, &RouterCounts::malformed};
    if (icmp->message[0] != kIcmpv6RouterAdvertisement)
        return {PacketVerdict::Ignored, &RouterCounts::ignored};
    std::optional<AdvertisedRouter> router = ReadAdvertisement(*icmp, sourceMac);
    if (!router)
        return {PacketVerdict::Malformed, &RouterCounts::malformed};
    if (m_routers.Keep(std::move(*router), icmp->messageSize) == PacketVerdict::Dropped)
        return {PacketVerdict::Dropped, &RouterCounts::dropped};
    return {PacketVerdict::Offer, &RouterCounts::advertisements};
}
