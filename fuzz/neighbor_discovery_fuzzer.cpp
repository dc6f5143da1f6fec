// The readers of Router Advertisements and Neighbor Solicitations: arbitrary
// bytes as an ICMPv6 message from a link-local address (so that the checks
// pass and the options are read) and as a whole IPv6 packet. What is read
// stays within what the bytes can hold, and the sorter keeps its bounds.
#include "core/wire/domain_names.h"
#include "core/wire/ipv6_datagram.h"
#include "core/wire/neighbor_discovery.h"
#include "core/wire/router_discovery.h"

#include <cstdlib>

namespace
{
void CheckRouter(const AdvertisedRouter& router, std::size_t size)
{
    std::size_t items = router.prefixes.size() + router.dnsServers.size();
    for (const AdvertisedSearchList& list : router.searchLists)
    {
        for (const std::string& domain : list.domains)
        {
            if (domain.size() > kMaxDomainName)
                std::abort();
        }
        items += list.domains.size();
    }
    if (items > size / 8)
        std::abort();
}

void Read(const std::vector<std::uint8_t>& packet, RouterDiscovery& discovery,
          const RouterDiscoveryLimits& limits)
{
    constexpr HardwareAddress mac = {0x02, 0, 0, 0, 0, 1};
    if (const std::optional<AdvertisedRouter> router =
            ParseRouterAdvertisement(packet.data(), packet.size(), mac, true))
        CheckRouter(*router, packet.size());
    ParseNeighborSolicitation(packet.data(), packet.size(), true);
    discovery.Take(packet.data(), packet.size(), mac, true);
    const RouterDiscoveryCounts& c = discovery.Counts();
    if (discovery.Routers().size() > limits.maxRouters || discovery.KeptBytes() > limits.maxBytes ||
        c.packets != c.advertisements + c.ignored + c.malformed + c.dropped)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    constexpr Ipv6Address source = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    constexpr Ipv6Address allNodes = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const RouterDiscoveryLimits limits{2, 4096};
    RouterDiscovery discovery(limits);
    Read(BuildIcmpv6Packet(source, allNodes, std::vector<std::uint8_t>(input, input + size)),
         discovery, limits);
    Read(std::vector<std::uint8_t>(input, input + size), discovery, limits);
    return 0;
}
