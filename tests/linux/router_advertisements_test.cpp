// What the kernel's part of a snapshot says of an interface's router
// advertisements: which routes are routers and prefixes, which addresses are
// SLAAC's, and where the MTU comes from.
#include "linux/router_advertisements_source.h"

#include <gtest/gtest.h>

#include <linux/icmpv6.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>

namespace
{
Ipv6Address Address(std::uint8_t nGroup3, std::uint8_t nLast)
{
    return {0x20, 0x01, 0x0D, 0xB8, 0, nGroup3, 0, 0, 0, 0, 0, 0, 0, 0, 0, nLast};
}

const Ipv6Address kRouter = {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

NetlinkRoute6 DefaultRoute(std::uint8_t nProtocol, std::optional<std::uint8_t> preference)
{
    NetlinkRoute6 route;
    route.gateway = kRouter;
    route.protocol = nProtocol;
    route.preference = preference;
    route.expires = 1790;
    route.metric = 1024;
    return route;
}

NetlinkRoute6 PrefixRoute(std::uint8_t nGroup3, std::uint8_t nProtocol, std::uint32_t nFlags)
{
    NetlinkRoute6 route;
    route.destination = Address(nGroup3, 0);
    route.destinationLength = 64;
    route.protocol = nProtocol;
    route.flags = nFlags;
    route.expires = 86000;
    return route;
}

NetlinkAddress6 Slaac(std::uint8_t nGroup3, std::uint8_t nLast, std::optional<std::uint8_t> origin,
                      std::uint32_t nFlags, std::uint32_t nValid)
{
    NetlinkAddress6 address;
    address.address = Address(nGroup3, nLast);
    address.prefixLength = 64;
    address.origin = origin;
    address.flags = nFlags;
    address.validLifetime = nValid;
    address.preferredLifetime = nValid / 2;
    return address;
}

TEST(KernelRouterAdvertisements, FlagsRoutersAndPrefixes)
{
    NetlinkInterface link;
    link.inet6Flags = 0x80000000 | 0x20 | 0x80; // ready, received, O
    link.ipv6Routes = {
        DefaultRoute(RTPROT_RA, ICMPV6_ROUTER_PREF_HIGH),
        DefaultRoute(RTPROT_RA, ICMPV6_ROUTER_PREF_LOW),
        DefaultRoute(RTPROT_RA, ICMPV6_ROUTER_PREF_INVALID), // reserved: medium
        DefaultRoute(RTPROT_STATIC, std::nullopt),           // not an advertisement's
        PrefixRoute(2, RTPROT_KERNEL, RTM_F_PREFIX),         // the kernel's, on-link
        PrefixRoute(3, RTPROT_RA, 0),                        // a client's, on-link
        PrefixRoute(4, RTPROT_KERNEL, 0),                    // an address's own route
    };
    link.ipv6Routes.back().gateway = std::nullopt;
    NetlinkRoute6 via = PrefixRoute(5, RTPROT_RA, 0); // a route through the router
    via.gateway = kRouter;
    link.ipv6Routes.push_back(via);
    link.ipv6Addresses = {
        Slaac(1, 5, IFAPROT_KERNEL_RA, IFA_F_MANAGETEMPADDR, 7200),
        Slaac(1, 6, IFAPROT_KERNEL_RA, IFA_F_TEMPORARY, 3000), // its prefix's is the public one's
        Slaac(2, 5, IFAPROT_KERNEL_RA, IFA_F_MANAGETEMPADDR, 7000), // joins the on-link prefix
        Slaac(6, 5, IFAPROT_UNSPEC, IFA_F_MANAGETEMPADDR, 100),     // a kernel that names it
        Slaac(7, 5, std::nullopt, IFA_F_MANAGETEMPADDR, 100),       // a kernel without IFA_PROTO
        Slaac(8, 5, std::nullopt, IFA_F_PERMANENT | IFA_F_MANAGETEMPADDR, 100),
        Slaac(9, 5, std::nullopt, 0, 100), // a DHCPv6 client's
    };

    const RouterAdvertisements learned = KernelRouterAdvertisements(link);
    EXPECT_TRUE(learned.received);
    EXPECT_FALSE(learned.managed);
    EXPECT_TRUE(learned.otherConfig);
    ASSERT_EQ(learned.routers.size(), 3u);
    EXPECT_EQ(learned.routers[0].address, kRouter);
    EXPECT_EQ(learned.routers[0].preference, RouterPreference::High);
    EXPECT_EQ(learned.routers[0].lifetime, 1790u);
    EXPECT_EQ(learned.routers[0].metric, 1024u);
    EXPECT_EQ(learned.routers[1].preference, RouterPreference::Low);
    EXPECT_EQ(learned.routers[2].preference, RouterPreference::Medium);

    ASSERT_EQ(learned.prefixes.size(), 4u);
    const auto expect = [&](std::size_t n, std::uint8_t nGroup3, bool bOnLink, bool bAutonomous,
                            std::optional<std::uint32_t> valid,
                            std::optional<std::uint32_t> preferred)
    {
        const LearnedPrefix& prefix = learned.prefixes[n];
        EXPECT_EQ(prefix.prefix, Address(nGroup3, 0)) << n;
        EXPECT_EQ(prefix.length, 64) << n;
        EXPECT_EQ(prefix.onLink, bOnLink) << n;
        EXPECT_EQ(prefix.autonomous, bAutonomous) << n;
        EXPECT_EQ(prefix.validLifetime, valid) << n;
        EXPECT_EQ(prefix.preferredLifetime, preferred) << n;
    };
    expect(0, 2, true, true, 7000, 3500);
    expect(1, 3, true, false, 86000, std::nullopt);
    expect(2, 1, false, true, 7200, 3600);
    expect(3, 7, false, true, 100, 50);
}

TEST(DhcpcdMayBeAsked, OnlyOnceARoutersRouteIsThereAndNoAddressIsTentative)
{
    NetlinkAddress6 tentative = Slaac(4, 5, std::nullopt, IFA_F_TENTATIVE, 100);
    NetlinkAddress6 failed = Slaac(4, 6, std::nullopt, IFA_F_TENTATIVE | IFA_F_DADFAILED, 100);
    const struct
    {
        const char* what;
        std::vector<NetlinkRoute6> routes;
        std::vector<NetlinkAddress6> addresses;
        bool mayAsk;
    } cases[] = {
        {"no advertisement yet", {PrefixRoute(4, RTPROT_KERNEL, 0)}, {}, false},
        {"a router's route", {DefaultRoute(RTPROT_RA, std::nullopt)}, {}, true},
        {"a client's prefix route", {PrefixRoute(4, RTPROT_RA, 0)}, {}, true},
        {"an address in DAD", {DefaultRoute(RTPROT_RA, std::nullopt)}, {tentative}, false},
        {"an address that failed DAD", {DefaultRoute(RTPROT_RA, std::nullopt)}, {failed}, true},
    };
    for (const auto& test : cases)
    {
        NetlinkInterface link;
        link.ipv6Routes = test.routes;
        link.ipv6Addresses = test.addresses;
        EXPECT_EQ(DhcpcdMayBeAsked(link), test.mayAsk) << test.what;
    }
}

struct MtuCase
{
    const char* what;
    std::uint32_t linkMtu;
    std::optional<std::uint32_t> mtu6;
    std::optional<std::uint32_t> raMtu;
    std::optional<std::uint32_t> mtu;
};

TEST(KernelRouterAdvertisements, TheMtuComesFromWhereTheKernelKeepsIt)
{
    const MtuCase cases[] = {
        {"advertised", 1500, 1400, 1400, 1400},
        {"advertised as the link's", 1500, 1500, 1500, 1500},
        {"none advertised", 1500, 1500, 0, std::nullopt},
        {"a kernel without RA_MTU, lowered", 1500, 1400, std::nullopt, 1400},
        {"a kernel without RA_MTU, as the link's", 1500, 1500, std::nullopt, std::nullopt},
        {"nothing known", 1500, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const MtuCase& test : cases)
    {
        NetlinkInterface link;
        link.mtu = test.linkMtu;
        link.mtu6 = test.mtu6;
        link.raMtu = test.raMtu;
        EXPECT_EQ(KernelRouterAdvertisements(link).mtu, test.mtu) << test.what;
    }
}
} // namespace
