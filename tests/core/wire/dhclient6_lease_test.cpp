#include "core/wire/dhclient6_lease.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/hex_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace
{
// dhclient -6 -lf of a dnsmasq lease (2026-12-10).
constexpr const char* kCaptured =
    R"(default-duid "\000\001\000\0012\255\274\357\232\247\346\247\023^";
lease6 {
  interface "vyl-xc0";
  ia-na e6:a7:13:5e {
    starts 1796931697;
    renew 300;
    rebind 525;
    iaaddr 2001:db8:77::1e7 {
      starts 1796931697;
      preferred-life 600;
      max-life 600;
    }
  }
  option dhcp6.client-id 0:1:0:1:32:ad:bc:ef:9a:a7:e6:a7:13:5e;
  option dhcp6.server-id 0:1:0:1:32:ad:bc:e4:62:b5:ef:3c:bc:eb;
  option dhcp6.name-servers 2001:db8:77::53;
  option dhcp6.domain-search "lab.test.";
  option dhcp6.status-code success "success";
}
)";

// The options as the Reply carried them, in hex.
std::vector<std::pair<std::uint16_t, std::string>> Hex(const Lease6& lease)
{
    std::vector<std::pair<std::uint16_t, std::string>> options;
    for (const Dhcpv6Option& option : lease.options)
        options.emplace_back(option.code, HexText(option.data.data(), option.data.size()));
    return options;
}

TEST(Dhclient6Lease, RebuildsTheCapturedReply)
{
    Lease6 lease;
    ASSERT_EQ(ParseDhclient6Leases(kCaptured, "vyl-xc0", lease), 0);
    const std::vector<std::pair<std::uint16_t, std::string>> expected = {
        // IAID, T1 300, T2 525; IAADDR (5, 24 bytes): address, preferred 600, valid 600
        {3, "e6a7135e"
            "0000012c"
            "0000020d"
            "00050018"
            "20010db80077000000000000000001e7"
            "00000258"
            "00000258"},
        {1, "0001000132adbcef9aa7e6a7135e"},
        {2, "0001000132adbce462b5ef3cbceb"},
        {23, "20010db8007700000000000000000053"},
        {24, "036c61620474657374"
             "00"},
        {13, "0000"
             "73756363657373"},
    };
    EXPECT_EQ(Hex(lease), expected);
    EXPECT_EQ(lease.obtained, 1796931697);
    EXPECT_TRUE(lease.unmapped.empty());
}

struct BlockCase
{
    const char* name;
    std::string text;
    int result;
    std::vector<std::pair<std::uint16_t, std::string>> options;
    std::vector<std::string> unmapped; // names
};

void PrintTo(const BlockCase& c, std::ostream* out)
{
    *out << c.name;
}

class Dhclient6Blocks : public testing::TestWithParam<BlockCase>
{
};

TEST_P(Dhclient6Blocks, Parse)
{
    const BlockCase& c = GetParam();
    Lease6 lease;
    ASSERT_EQ(ParseDhclient6Leases(c.text, "eth0", lease), c.result);
    EXPECT_EQ(Hex(lease), c.options);
    std::vector<std::string> unmapped;
    for (const UnmappedOption6& line : lease.unmapped)
        unmapped.push_back(line.name + "=" + line.text);
    EXPECT_EQ(unmapped, c.unmapped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Dhclient6Blocks,
    testing::Values(
        BlockCase{"LastBlockOfTheInterfaceWins",
                  "lease6 { interface \"eth0\"; option dhcp6.preference 1; }\n"
                  "lease6 { interface \"eth0\"; option dhcp6.preference 2; }\n"
                  "lease6 { interface \"eth1\"; option dhcp6.preference 3; }\n",
                  0,
                  {{7, "02"}},
                  {}},
        BlockCase{"ABlockCutShortIsAWriteInProgress",
                  "lease6 { interface \"eth0\"; option dhcp6.preference 1; }\n"
                  "lease6 { interface \"eth0\"; option dhcp6.preference 2;",
                  0,
                  {{7, "01"}},
                  {}},
        BlockCase{"NoBlockForTheInterface",
                  "lease6 { interface \"eth1\"; option dhcp6.preference 1; }\n"
                  "lease { interface \"eth0\"; option routers 10.0.0.1; }\n",
                  ENOENT,
                  {},
                  {}},
        BlockCase{"DelegatedPrefixWithItsStatus",
                  "lease6 { interface \"eth0\"; ia-pd 00:00:00:07 { starts 5; renew 10; rebind 20;"
                  " iaprefix 2001:db8:100::/56 { starts 5; preferred-life 30; max-life 40; }"
                  " option dhcp6.status-code NoPrefixAvail; } }",
                  0,
                  // IAID 7, T1 10, T2 20; IAPREFIX (26, 25 bytes): 30, 40, /56, prefix;
                  // status code (13, 2 bytes): 6
                  {{25, "00000007"
                        "0000000a"
                        "00000014"
                        "001a0019"
                        "0000001e"
                        "00000028"
                        "38"
                        "20010db8010000000000000000000000"
                        "000d0002"
                        "0006"}},
                  {}},
        BlockCase{"AnIaidThatPrintsIsQuoted",
                  "lease6 { interface \"eth0\"; ia-na \"xz>\\035\" { renew 1; rebind 2; } }",
                  0,
                  {{3, "787a3e1d"
                       "00000001"
                       "00000002"}},
                  {}},
        BlockCase{"TemporaryAddressesHaveNoTimes",
                  "lease6 { interface \"eth0\"; ia-ta 1:2:3:4 { iaaddr fe80::1 { "
                  "preferred-life 1; max-life 2; } } }",
                  0,
                  {{4, "01020304"
                       "00050018"
                       "fe800000000000000000000000000001"
                       "00000001"
                       "00000002"}},
                  {}},
        BlockCase{"LinesThatGiveNoBytesAreKept",
                  "lease6 { interface \"eth0\"; option dhcp6.name-servers 10.0.0.1;"
                  " option dhcp6.fqdn \"x\"; option other.thing 1;"
                  " ia-na 1:2:3 { renew 1; } ia-na 1:2:3:4 { iaaddr 2001:db8::zz { } } }",
                  0,
                  {{3, "01020304"
                       "00000000"
                       "00000000"}},
                  {"dhcp6.name-servers=10.0.0.1", "dhcp6.fqdn=\"x\"", "other.thing=1",
                   "ia-na=1:2:3", "iaaddr=2001:db8::zz"}},
        BlockCase{"TheLastLineOfANameWins",
                  "lease6 { interface \"eth0\"; option dhcp6.preference x;"
                  " option dhcp6.preference 9; option dhcp6.sntp-servers ::1;"
                  " option dhcp6.sntp-servers bad; }",
                  0,
                  {{7, "09"}},
                  {"dhcp6.sntp-servers=bad"}}),
    [](const testing::TestParamInfo<BlockCase>& param) { return std::string(param.param.name); });
} // namespace
