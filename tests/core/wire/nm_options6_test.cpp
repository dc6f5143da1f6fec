#include "core/wire/nm_options6.h"

#include <gtest/gtest.h>

namespace
{
TEST(NetworkManagerOptions6, RebuildsTheIdentityAssociationsAndOptions)
{
    // As NetworkManager's dhclient back end publishes them.
    const std::map<std::string, std::string> options = {
        {"dhcp6_client_id", "0:1:0:1:32:ad"},
        {"dhcp6_name_servers", "2001:db8::53 2001:db8::54"},
        {"dhcp6_domain_search", "lab.test"},
        {"iaid", "00:00:00:01"},
        {"ip6_address", "2001:db8::181"},
        {"ip6_prefix", "2001:db8:100::/56"},
        {"ip6_prefixlen", "128"},
        {"life_starts", "1796931697"},
        {"max_life", "600"},
        {"preferred_life", "500"},
        {"rebind", "525"},
        {"renew", "300"},
        {"dhcp6_fqdn_fqdn", "host.lab.test"},
    };
    Lease6 lease;
    ASSERT_TRUE(Lease6FromNetworkManager(options, lease));
    const Dhcpv6Options expected = {
        // IAID 1, T1 300, T2 525, IAADDR: address, preferred 500, valid 600
        {3, {0, 0, 0, 1, 0, 0, 1, 44, 0, 0, 2, 13,   0, 5, 0, 24,   0x20, 0x01, 0x0d, 0xb8,
             0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 1, 0x81, 0, 0, 1, 0xf4, 0,    0,    2,    0x58}},
        // IAPREFIX: preferred 500, valid 600, /56, prefix
        {25,
         {0, 0, 0,    1,  0,    0,    1,    44,   0,    0, 2, 13, 0, 26, 0, 25, 0, 0, 1, 0xf4, 0,
          0, 2, 0x58, 56, 0x20, 0x01, 0x0d, 0xb8, 0x01, 0, 0, 0,  0, 0,  0, 0,  0, 0, 0, 0}},
        {1, {0, 1, 0, 1, 0x32, 0xad}},
        {24, {3, 'l', 'a', 'b', 4, 't', 'e', 's', 't', 0}},
        {23, {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x53,
              0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x54}},
    };
    ASSERT_EQ(lease.options.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ(lease.options[i].code, expected[i].code) << i;
        EXPECT_EQ(lease.options[i].data, expected[i].data) << i;
    }
    EXPECT_EQ(lease.obtained, 1796931697);
    ASSERT_EQ(lease.unmapped.size(), 2u);
    EXPECT_EQ(lease.unmapped[0].name, "dhcp6_fqdn_fqdn");
    EXPECT_EQ(lease.unmapped[1].name, "ip6_prefixlen");
}

TEST(NetworkManagerOptions6, AnAddressWithoutIaidIsKeptAsWritten)
{
    Lease6 lease;
    ASSERT_TRUE(Lease6FromNetworkManager({{"ip6_address", "2001:db8::1"}}, lease));
    EXPECT_TRUE(lease.options.empty());
    ASSERT_EQ(lease.unmapped.size(), 1u);
    EXPECT_EQ(lease.unmapped[0].text, "2001:db8::1");
    EXPECT_FALSE(Lease6FromNetworkManager({}, lease));
}
} // namespace
