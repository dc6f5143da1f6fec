// dhcpcd's IPv6 state blocks, as its control socket hands them over: which
// variables give RDNSS and DNSSL, and what a hostile block cannot make of them.
#include "core/wire/dhcpcd_router_dns.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace
{
using namespace std::string_literals;

// The variables, each ended by a NUL as dhcpcd sends them.
std::string Block(std::initializer_list<std::string> variables)
{
    std::string block;
    for (const std::string& variable : variables)
        block += variable + '\0';
    return block;
}

const std::string kHeader = "interface=eth0\0protocol=ra\0"s;

Ipv6Address Server(std::uint8_t n)
{
    return {0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, n};
}

struct DnsCase
{
    const char* what;
    std::string block;
    int result;
    std::vector<Ipv6Address> servers;
    std::vector<std::string> domains;
};

class DhcpcdRouterDnsTest : public testing::TestWithParam<DnsCase>
{
};

TEST_P(DhcpcdRouterDnsTest, ReadsWhatTheBlockHolds)
{
    const DnsCase& test = GetParam();
    std::vector<Ipv6Address> servers;
    std::vector<std::string> domains;
    EXPECT_EQ(RouterDnsFromDhcpcdState(test.block, "eth0", servers, domains), test.result)
        << test.what;
    EXPECT_EQ(servers, test.servers) << test.what;
    EXPECT_EQ(domains, test.domains) << test.what;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, DhcpcdRouterDnsTest,
    testing::Values(
        DnsCase{"two routers' options in dhcpcd's order, each once",
                kHeader + Block({"nd1_from=fe80::1", "nd1_rdnss1_servers=2001:db8::53 2001:db8::54",
                                 "nd1_dnssl1_search=lab.example corp.example",
                                 "nd2_rdnss1_servers=2001:db8::54  2001:db8::55",
                                 "nd2_dnssl1_search=lab.example"}),
                0,
                {Server(0x53), Server(0x54), Server(0x55)},
                {"lab.example", "corp.example"}},
        DnsCase{"an advertisement without DNS options",
                kHeader + Block({"nd1_from=fe80::1", "nd1_flags=MO"}),
                0,
                {},
                {}},
        DnsCase{"variables that only look like them",
                kHeader + Block({"nd_rdnss1_servers=2001:db8::1", "ndx_rdnss1_servers=2001:db8::2",
                                 "nd1_rdnss_servers=2001:db8::3", "nd1_rdnss1_serversx=2001:db8::4",
                                 "nd1_rdnss1_lifetime=600", "new_dhcp6_name_servers=2001:db8::5"}),
                0,
                {},
                {}},
        DnsCase{"servers that are no IPv6 address are skipped",
                kHeader + Block({"nd1_rdnss1_servers=10.0.0.1 2001:db8::53 x " +
                                 std::string(60, '1') + " 2001:db8::54"}),
                0,
                {Server(0x53), Server(0x54)},
                {}},
        DnsCase{"a domain over 253 bytes is skipped",
                kHeader + Block({"nd1_dnssl1_search=" + std::string(254, 'a') + " ok.example"}),
                0,
                {},
                {"ok.example"}},
        DnsCase{"another interface's state",
                Block({"interface=eth1", "protocol=ra", "nd1_rdnss1_servers=2001:db8::53"}),
                ENOENT,
                {},
                {}},
        DnsCase{"the DHCPv6 state",
                Block({"interface=eth0", "protocol=dhcp6", "nd1_rdnss1_servers=2001:db8::53"}),
                ENOENT,
                {},
                {}},
        DnsCase{"a block not ended by a NUL",
                kHeader + "nd1_rdnss1_servers=2001:db8::53",
                EBADMSG,
                {},
                {}},
        DnsCase{"a variable without '='", kHeader + Block({"garbage"}), EBADMSG, {}, {}},
        DnsCase{"an empty block", "", EBADMSG, {}, {}}));

TEST(DhcpcdRouterDns, AFloodOfServersAndDomainsStopsAtTheBounds)
{
    std::string servers = "nd1_rdnss1_servers=";
    std::string domains = "nd1_dnssl1_search=";
    for (int n = 0; n < 300; ++n)
    {
        servers += "2001:db8::" + std::to_string(n + 1) + " ";
        domains += "d" + std::to_string(n) + ".example ";
    }
    std::vector<Ipv6Address> found;
    std::vector<std::string> names;
    ASSERT_EQ(RouterDnsFromDhcpcdState(kHeader + Block({servers, domains}), "eth0", found, names),
              0);
    EXPECT_EQ(found.size(), kMaxRouterDnsServers);
    EXPECT_EQ(names.size(), kMaxRouterSearchDomains);
    EXPECT_EQ(names.back(), "d63.example");
}
} // namespace
