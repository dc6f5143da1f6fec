// Finding the IPv6 routers of a link: the Router Solicitation that asks them
// (RFC 4861 6.3.7) and the reading of every Router Advertisement (RFC 4861
// 4.2, RFC 4191, RFC 8106) into routers as they describe themselves.
#pragma once

#include "core/model/router_advertisements.h"
#include "core/wire/dhcp_discovery.h"
#include "core/wire/ethernet_frame.h"
#include "core/wire/responder_list.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A Prefix Information option (RFC 4861 4.6.2); lifetimes in seconds,
// 0xFFFFFFFF for infinity.
struct AdvertisedPrefix
{
    Ipv6Address prefix{};
    std::uint8_t length = 0;
    bool onLink = false;     // L
    bool autonomous = false; // A
    std::uint32_t validLifetime = 0;
    std::uint32_t preferredLifetime = 0;
};

// RDNSS (RFC 8106 5.1) and DNSSL (5.2), each with its lifetime.
struct AdvertisedDnsServers
{
    std::uint32_t lifetime = 0;
    std::vector<Ipv6Address> servers;
};

struct AdvertisedSearchList
{
    std::uint32_t lifetime = 0;
    std::vector<std::string> domains; // as the name reader gives them
};

// What a census finds wrong with a router, as bits of AdvertisedRouter::flags.
enum RouterFlags : unsigned
{
    kRouterConflict = 1,   // the same link-local address from another Ethernet address
    kRouterUnexpected = 4, // not on the approved list (the caller judges)
};

// One router: its link-local source and Ethernet source, and its first
// advertisement's contents.
struct AdvertisedRouter
{
    Ipv6Address address{};
    HardwareAddress mac{};
    // The Source Link-Layer Address option, when it has one (it may differ
    // from the frame's source: a fact to show, not an identity).
    std::optional<HardwareAddress> linkLayerOption;
    std::uint8_t hopLimit = 0;
    bool managed = false;     // M
    bool otherConfig = false; // O
    RouterPreference preference = RouterPreference::Medium;
    std::uint16_t lifetime = 0; // seconds; 0: not a default router
    std::uint32_t reachableTime = 0;
    std::uint32_t retransTimer = 0;
    std::vector<AdvertisedPrefix> prefixes;
    std::optional<std::uint32_t> mtu;
    std::vector<AdvertisedDnsServers> dnsServers;
    std::vector<AdvertisedSearchList> searchLists;
    std::size_t advertisements = 0; // every copy received
    unsigned flags = 0;             // RouterFlags
};

struct RouterDiscoveryCounts
{
    std::size_t packets = 0;
    std::size_t advertisements = 0; // kept, copies merged included
    std::size_t ignored = 0;        // other ICMPv6
    std::size_t malformed = 0;      // fails RFC 4861 6.1.2's checks
    std::size_t dropped = 0;        // past the limits
};

// All_Routers (RFC 4291 2.7.1), where a Router Solicitation goes.
constexpr Ipv6Address kAllRouters = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};

// The IPv6 packet of a Router Solicitation from source (a link-local address)
// to all routers, with mac as its Source Link-Layer Address option.
std::vector<std::uint8_t> BuildRouterSolicitation(const Ipv6Address& source,
                                                  const HardwareAddress& mac);

// A Router Advertisement that passes RFC 4861 6.1.2's checks (hop limit 255,
// a link-local source, code 0, a message of at least 16 bytes, options that
// read whole), as the router it describes, its frame's source in mac. An
// option of a known type too short for its layout is passed over (RFC 8106
// 5.3.1), as is a DNSSL name that does not read; the preference of a router
// of lifetime 0, and the reserved preference, read as Medium (RFC 4191 2.2).
std::optional<AdvertisedRouter> ParseRouterAdvertisement(const std::uint8_t* ipv6Packet,
                                                         std::size_t size,
                                                         const HardwareAddress& sourceMac,
                                                         bool checksumPending = false);

struct RouterDiscoveryLimits
{
    std::size_t maxRouters = 64;
    std::size_t maxBytes = 256 * 1024; // the advertisements the routers kept were read from
};

// Sorts the packets received on one link or VLAN into routers: one per
// link-local address and Ethernet source, the first advertisement's contents
// kept and every copy counted. The same link-local address from another
// Ethernet source is another router, and both get kRouterConflict.
class RouterDiscovery
{
public:
    explicit RouterDiscovery(const RouterDiscoveryLimits& limits = RouterDiscoveryLimits());

    // One IPv6 packet as received. PacketVerdict::Offer: an advertisement
    // kept or merged into a router kept; Ignored: another packet; Malformed:
    // an advertisement that fails the checks, or a broken ICMPv6 packet;
    // Dropped: past the limits.
    PacketVerdict Take(const std::uint8_t* ipv6Packet, std::size_t size,
                       const HardwareAddress& sourceMac, bool checksumPending = false);

    const std::vector<AdvertisedRouter>& Routers() const { return m_routers.Kept(); }
    const RouterDiscoveryCounts& Counts() const { return m_counts; }
    std::size_t KeptBytes() const { return m_routers.KeptBytes(); }
    // Hands the routers over at the end, without copying; nothing is kept after.
    std::vector<AdvertisedRouter> TakeRouters() { return m_routers.TakeKept(); }

private:
    Sorted<RouterDiscoveryCounts> Sort(const std::uint8_t* ipv6Packet, std::size_t size,
                                       const HardwareAddress& sourceMac, bool checksumPending);

    ResponderList<AdvertisedRouter> m_routers;
    RouterDiscoveryCounts m_counts;
};
