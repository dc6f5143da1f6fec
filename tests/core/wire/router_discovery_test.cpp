#include "core/wire/router_discovery.h"

#include "core/wire/ipv6_datagram.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr HardwareAddress kRouterMac = {0x52, 0x54, 0, 0xab, 0xcd, 0x01};
constexpr HardwareAddress kRogueMac = {0x52, 0x54, 0, 0xab, 0xcd, 0x02};
constexpr Ipv6Address kRouter = {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
constexpr Ipv6Address kAllNodes = {0xff, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

// Hop limit 64, the flags byte, lifetime 1800 s, reachable 30000 ms,
// retransmit 1000 ms, then the options.
Bytes Advertisement(std::uint8_t flags, const Bytes& options, std::uint16_t lifetime = 1800)
{
    Bytes message = {134,
                     0,
                     0,
                     0,
                     64,
                     flags,
                     static_cast<std::uint8_t>(lifetime >> 8),
                     static_cast<std::uint8_t>(lifetime),
                     0,
                     0,
                     0x75,
                     0x30,
                     0,
                     0,
                     0x03,
                     0xe8};
    message.resize(16 + options.size());
    std::copy(options.begin(), options.end(), message.begin() + 16);
    return message;
}

Bytes Packet(const Bytes& message, const Ipv6Address& source = kRouter)
{
    return BuildIcmpv6Packet(source, kAllNodes, message);
}

// radvd 2.19's advertisement, as captured, of: AdvManagedFlag on;
// AdvOtherConfigFlag on; AdvDefaultPreference high; AdvLinkMTU 1480;
// prefix 2001:db8:1::/64; RDNSS 2001:db8::53 2001:db8::54; DNSSL lab.example
// corp.example.
TEST(RouterAdvertisement, ReadsRadvdsAdvertisement)
{
    std::ifstream file(std::string(VEYRA_LINUX_DHCP_DATA) + "/ra-radvd.bin", std::ios::binary);
    const Bytes packet{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::optional<AdvertisedRouter> router =
        ParseRouterAdvertisement(packet.data(), packet.size(), kRouterMac);
    ASSERT_TRUE(router);
    EXPECT_EQ(router->mac, kRouterMac); // the frame's; the option names radvd's interface
    EXPECT_EQ(router->linkLayerOption, (HardwareAddress{0xca, 0xfb, 0xd9, 0x57, 0x5d, 0xc5}));
    EXPECT_EQ(router->address[15], 0xc5);
    EXPECT_EQ(router->hopLimit, 64);
    EXPECT_TRUE(router->managed && router->otherConfig);
    EXPECT_EQ(router->preference, RouterPreference::High);
    EXPECT_EQ(router->lifetime, 12); // 3 * MaxRtrAdvInterval
    EXPECT_EQ(router->mtu, 1480u);
    ASSERT_EQ(router->prefixes.size(), 1u);
    const AdvertisedPrefix& prefix = router->prefixes[0];
    EXPECT_EQ(prefix.prefix, (Ipv6Address{0x20, 0x01, 0x0d, 0xb8, 0, 1}));
    EXPECT_EQ(prefix.length, 64);
    EXPECT_TRUE(prefix.onLink && prefix.autonomous);
    EXPECT_EQ(prefix.validLifetime, 86400u);
    EXPECT_EQ(prefix.preferredLifetime, 14400u);
    ASSERT_EQ(router->dnsServers.size(), 1u);
    EXPECT_EQ(router->dnsServers[0].lifetime, 4u);
    ASSERT_EQ(router->dnsServers[0].servers.size(), 2u);
    EXPECT_EQ(router->dnsServers[0].servers[1][15], 0x54);
    ASSERT_EQ(router->searchLists.size(), 1u);
    EXPECT_EQ(router->searchLists[0].domains,
              (std::vector<std::string>{"lab.example", "corp.example"}));
}

struct PreferenceCase
{
    std::uint8_t flags;
    std::uint16_t lifetime;
    RouterPreference expected;
};

TEST(RouterAdvertisement, ReadsThePreferenceAsRfc4191Says)
{
    const PreferenceCase cases[] = {
        {0x08, 1800, RouterPreference::High}, {0x00, 1800, RouterPreference::Medium},
        {0x18, 1800, RouterPreference::Low},  {0x10, 1800, RouterPreference::Medium}, // reserved
        {0x08, 0, RouterPreference::Medium}, // not a default router: ignored
    };
    for (const PreferenceCase& c : cases)
    {
        const Bytes packet = Packet(Advertisement(c.flags, {}, c.lifetime));
        const std::optional<AdvertisedRouter> router =
            ParseRouterAdvertisement(packet.data(), packet.size(), kRouterMac);
        ASSERT_TRUE(router);
        EXPECT_EQ(router->preference, c.expected) << int{c.flags} << " " << c.lifetime;
    }
}

TEST(RouterAdvertisement, PassesOverOptionsTooShortOrUnreadable)
{
    const Bytes prefix = {3, 4, 129, 0xc0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, // length 129
                          0, 0, 0,   0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes mtu = {5, 1, 0, 0, 0, 0, 0x05, 0xdc};
    const Bytes shortRdnss = {25, 2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes pointer = {31, 2, 0, 0, 0, 0, 0, 1, 0xc0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes inThePadding = {31, 2, 0, 0, 0, 0, 0, 1, 1, 'a', 0, 0, 7, 0, 0, 0};
    Bytes options;
    for (const Bytes* option : {&prefix, &mtu, &shortRdnss, &pointer, &inThePadding})
        options.insert(options.end(), option->begin(), option->end());
    const Bytes packet = Packet(Advertisement(0, options));
    const std::optional<AdvertisedRouter> router =
        ParseRouterAdvertisement(packet.data(), packet.size(), kRouterMac);
    ASSERT_TRUE(router);
    EXPECT_TRUE(router->prefixes.empty());
    EXPECT_EQ(router->mtu, 1500u);
    EXPECT_TRUE(router->dnsServers.empty());
    EXPECT_TRUE(router->searchLists.empty());
}

struct BrokenAdvertisement
{
    const char* name;
    Bytes packet;
    std::size_t offset = 0; // with value: a byte changed after the checksum
    int value = -1;
};

class BrokenAdvertisements : public testing::TestWithParam<BrokenAdvertisement>
{
};

TEST_P(BrokenAdvertisements, AreMalformed)
{
    Bytes packet = GetParam().packet;
    if (GetParam().value >= 0)
        packet.at(GetParam().offset) = static_cast<std::uint8_t>(GetParam().value);
    EXPECT_FALSE(ParseRouterAdvertisement(packet.data(), packet.size(), kRouterMac))
        << GetParam().name;
    RouterDiscovery discovery;
    EXPECT_EQ(discovery.Take(packet.data(), packet.size(), kRouterMac), PacketVerdict::Malformed)
        << GetParam().name;
    EXPECT_EQ(discovery.Counts().malformed, 1u);
}

const Bytes kGood = Packet(Advertisement(0, {5, 1, 0, 0, 0, 0, 0x05, 0xdc}));
constexpr Ipv6Address kGlobal = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

INSTANTIATE_TEST_SUITE_P(
    RouterAdvertisement, BrokenAdvertisements,
    testing::Values(BrokenAdvertisement{"hop limit 254: routed from elsewhere", kGood, 7, 254},
                    BrokenAdvertisement{"checksum", kGood, 42, 0},
                    BrokenAdvertisement{"code 1", kGood, 41, 1},
                    BrokenAdvertisement{"a global source", Packet(Advertisement(0, {}), kGlobal)},
                    BrokenAdvertisement{"shorter than 16 bytes",
                                        Packet({134, 0, 0, 0, 64, 0, 0, 0})},
                    BrokenAdvertisement{"option of length 0",
                                        Packet(Advertisement(0, {5, 0, 0, 0, 0, 0, 0, 0}))},
                    BrokenAdvertisement{"option past the end",
                                        Packet(Advertisement(0, {5, 2, 0, 0, 0, 0, 0x05, 0xdc}))},
                    BrokenAdvertisement{"IPv6 payload length past the packet", kGood, 5, 0xff}));

TEST(RouterDiscovery, MergesCopiesAndFlagsALinkLocalAddressFromTwoMacs)
{
    const Bytes packet = Packet(Advertisement(0, {}));
    RouterDiscovery discovery;
    EXPECT_EQ(discovery.Take(packet.data(), packet.size(), kRouterMac), PacketVerdict::Offer);
    EXPECT_EQ(discovery.Take(packet.data(), packet.size(), kRouterMac), PacketVerdict::Offer);
    ASSERT_EQ(discovery.Routers().size(), 1u);
    EXPECT_EQ(discovery.Routers()[0].advertisements, 2u);
    EXPECT_EQ(discovery.Routers()[0].flags, 0u);
    EXPECT_EQ(discovery.KeptBytes(), 16u);

    EXPECT_EQ(discovery.Take(packet.data(), packet.size(), kRogueMac), PacketVerdict::Offer);
    const std::vector<AdvertisedRouter> routers = discovery.TakeRouters();
    ASSERT_EQ(routers.size(), 2u);
    EXPECT_EQ(routers[0].flags, unsigned{kRouterConflict});
    EXPECT_EQ(routers[1].flags, unsigned{kRouterConflict});
    EXPECT_EQ(routers[1].mac, kRogueMac);
    EXPECT_EQ(discovery.Counts().advertisements, 3u);
}

TEST(RouterDiscovery, IgnoresOtherPacketsAndDropsPastItsLimits)
{
    const Bytes solicitation = BuildRouterSolicitation(kRouter, kRouterMac);
    const Bytes udp = BuildUdp6Packet({kRouter, kAllNodes, 547, 546}, {1});
    const Bytes first = Packet(Advertisement(0, {}));
    const Bytes second =
        Packet(Advertisement(0, {}), {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    RouterDiscovery byCount(RouterDiscoveryLimits{1, 1024});
    EXPECT_EQ(byCount.Take(solicitation.data(), solicitation.size(), kRouterMac),
              PacketVerdict::Ignored);
    EXPECT_EQ(byCount.Take(udp.data(), udp.size(), kRouterMac), PacketVerdict::Ignored);
    EXPECT_EQ(byCount.Take(first.data(), first.size(), kRouterMac), PacketVerdict::Offer);
    EXPECT_EQ(byCount.Take(second.data(), second.size(), kRouterMac), PacketVerdict::Dropped);
    EXPECT_EQ(byCount.Counts().packets, 4u);
    EXPECT_EQ(byCount.Counts().ignored, 2u);
    EXPECT_EQ(byCount.Counts().dropped, 1u);

    RouterDiscovery byBytes(RouterDiscoveryLimits{64, 31}); // each advertisement is 16 bytes
    EXPECT_EQ(byBytes.Take(first.data(), first.size(), kRouterMac), PacketVerdict::Offer);
    EXPECT_EQ(byBytes.Take(second.data(), second.size(), kRouterMac), PacketVerdict::Dropped);
    EXPECT_EQ(byBytes.KeptBytes(), 16u);
}
} // namespace
