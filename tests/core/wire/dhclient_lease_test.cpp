#include "core/wire/dhclient_lease.h"
#include "platform/bounded_file.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/time.h>

namespace
{
using namespace std::string_literals;

Lease Parse(std::string_view text, std::string_view interfaceName = "vcli", int nExpected = 0)
{
    Lease lease;
    EXPECT_EQ(ParseDhclientLeases(text, interfaceName, lease), nExpected);
    return lease;
}

// What dnsmasq sent vcli (see the samples' README), as dhclient wrote it down.
TEST(DhclientLeases, CapturedSampleGivesTheServersBytes)
{
    const Lease lease = Parse(ReadSample("dhclient.leases"));
    EXPECT_EQ(lease.m_nYourAddress, 0x0A630092u); // fixed-address 10.99.0.146
    const OptionMap expected = {
        {1, {255, 255, 255, 0}},               // subnet-mask
        {2, {0x00, 0x00, 0x0E, 0x10}},         // time-offset 3600
        {3, {10, 99, 0, 1}},                   // routers
        {4, {10, 99, 0, 1}},                   // time-servers
        {6, {10, 99, 0, 1, 10, 99, 0, 2}},     // domain-name-servers
        {7, {10, 99, 0, 1}},                   // log-servers
        {12, TextBytes("ignored-by-clients")}, // host-name
        {15, TextBytes("lab.test")},           // domain-name
        {23, {64}},                            // default-ip-ttl
        {28, {10, 99, 0, 255}},                // broadcast-address
        {33, {10, 99, 5, 0, 10, 99, 0, 1}},    // static-routes: destination, router
        {41, {10, 99, 0, 1}},                  // nis-servers
        {42, {10, 99, 0, 1}},                  // ntp-servers
        {43, {0x01, 0x04, 0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x03, 0x61, 0x62, 0x63}},
        {44, {10, 99, 0, 1}},           // netbios-name-servers
        {46, {8}},                      // netbios-node-type
        {47, TextBytes("scope1")},      // netbios-scope
        {51, {0x00, 0x00, 0x02, 0x58}}, // dhcp-lease-time 600
        {53, {5}},                      // DHCPACK
        {54, {10, 99, 0, 1}},           // dhcp-server-identifier
        {58, {0x00, 0x00, 0x01, 0x2C}}, // dhcp-renewal-time 300
        {59, {0x00, 0x00, 0x02, 0x0D}}, // dhcp-rebinding-time 525
        // dnsmasq ends these two with a zero byte; dhclient's text does not keep it.
        {66, TextBytes("tftp.lab.test")}, // tftp-server-name
        {67, TextBytes("pxelinux.0")},    // bootfile-name
    };
    EXPECT_EQ(lease.m_mapOptions, expected);
    // The second, later block wins: expire 3 2026/12/09 05:52:06, less 600 s.
    EXPECT_EQ(lease.m_tExpires, 1796795526);
    EXPECT_EQ(lease.m_tObtained, 1796795526 - 600);
    EXPECT_TRUE(lease.m_mapSources.empty());
}

TEST(DhclientLeases, OnlyBlocksNamingTheInterfaceCount)
{
    Parse(ReadSample("dhclient.leases"), "eth0", ENOENT);
    Parse(ReadSample("dhclient.leases"), "vcl", ENOENT);
    // No interface statement: the block belongs to no interface.
    Parse("lease { fixed-address 10.0.0.5; }", "vcli", ENOENT);
    const Lease lease = Parse("lease { interface \"vcli\"; fixed-address 10.0.0.1; }\n"
                              "lease { interface \"eth0\"; fixed-address 10.0.0.2; }\n"
                              "lease { fixed-address 10.0.0.3; }\n");
    EXPECT_EQ(lease.m_nYourAddress, 0x0A000001u);
}

TEST(DhclientLeases, ABlockCutOffIsAWriteInProgress)
{
    const std::string strComplete = "lease {\n interface \"vcli\";\n fixed-address 10.0.0.1;\n}\n";
    for (const char* pszTail :
         {"lease {\n interface \"vcli\";\n fixed-address 10.0.0.2;\n",
          "lease {\n interface \"vcli\";\n fixed-address 10.0.0.2;\n option routers 10.0.0",
          "lease {\n interface \"vcli\";\n fixed-address 10.0.0.2;\n option host-name \"abc"})
        EXPECT_EQ(Parse(strComplete + pszTail).m_nYourAddress, 0x0A000001u) << pszTail;
    Parse("lease {\n interface \"vcli\";\n", "vcli", ENOENT);
}

TEST(DhclientLeases, CommentsUnknownStatementsAndNestedBlocksAreSkipped)
{
    const Lease lease = Parse(R"(# The format of this file is documented in dhclient.leases(5).
default-duid "\000\001\000\001";
lease6 { interface "vcli"; ia-na 1 { iaaddr 2001:db8::1 { } } }
lease { # a comment after the brace
  interface "vcli";   # and after a statement
  medium "media";
  bootp;
  filename "pxelinux.0";
  vendor-block { nested { deeper; } }
  fixed-address 10.99.0.146;
  option domain-name "a;b}c#d";
  option routers 10.99.0.256;
  option no-such-option 1;
  option;
  option subnet-mask 255.255.255.0;
}
}  stray closing brace
)");
    EXPECT_EQ(lease.m_nYourAddress, 0x0A630092u);
    EXPECT_EQ(lease.m_mapOptions, (OptionMap{{1, {255, 255, 255, 0}}, {15, TextBytes("a;b}c#d")}}));
}

TEST(DhclientLeases, ExpiryForms)
{
    const auto Expiry = [](const std::string& strStatement)
    {
        return Parse("lease { interface \"vcli\"; option dhcp-lease-time 600; " + strStatement +
                     "\n}")
            .m_tExpires;
    };
    EXPECT_EQ(Expiry("expire 3 2026/12/09 05:52:06;"), 1796795526);
    EXPECT_EQ(Expiry("expire 2 2000/02/29 23:59:59;"), 951868799);
    EXPECT_EQ(Expiry("expire 1 2100/3/1 0:0:0;"), 4107542400);
    EXPECT_EQ(Expiry("expire 5 9999/12/31 23:59:59;"), 253402300799);
    EXPECT_EQ(Expiry("expire epoch 1796795526; # Wed Dec 09 05:52:06 2026"), 1796795526);
    EXPECT_FALSE(Expiry("expire never;"));
    EXPECT_FALSE(Expiry("expire 3 2026/12/09 05:52:06; expire never;"));
    for (const char* pszBad :
         {"expire 3 2026/02/29 00:00:00;", "expire 3 2100/02/29 00:00:00;",
          "expire 3 2026/13/01 00:00:00;", "expire 3 2026/12/00 00:00:00;",
          "expire 3 1969/12/31 23:59:59;", "expire 3 2026/12/09 24:00:00;",
          "expire 7 2026/12/09 05:52:06;", "expire 3 2026/12/09;",
          "expire 3 2026/12/09/1 05:52:06;", "expire 3 99999999999999999999/12/09 05:52:06;",
          "expire epoch 253402300800;", "expire epoch 99999999999999999999999;", "expire epoch -1;",
          "expire soon;"})
        EXPECT_FALSE(Expiry(pszBad)) << pszBad;
}

TEST(DhclientLeases, RenewalsRepeatingAnOptionKeepTheLastValue)
{
    std::string strText = "lease { interface \"vcli\";\n";
    for (int i = 0; i < 300; ++i)
        strText += "option interface-mtu " + std::to_string(1000 + i) + ";\n";
    strText += "}\n";
    const Lease lease = Parse(strText);
    EXPECT_EQ(lease.m_mapOptions.at(26), (OptionBytes{0x05, 0x13})); // 1299
}

TEST(DhclientLeases, HostileBytes)
{
    // A zero byte is an ordinary byte: the address it sits in no longer parses.
    const Lease withZero =
        Parse("lease { interface \"vcli\"; fixed-address 10.0\0.0.1; option routers 10.0.0.1; }"s);
    EXPECT_FALSE(withZero.m_nYourAddress);
    EXPECT_EQ(withZero.m_mapOptions.at(3), (OptionBytes{10, 0, 0, 1}));

    // A line of a megabyte: the option is longer than any DHCP message, so absent.
    const std::string strLong = "lease { interface \"vcli\"; option host-name \"" +
                                std::string(kMaxFileBytes - 64, 'h') + "\"; }";
    const Lease longLine = Parse(strLong);
    EXPECT_TRUE(longLine.m_mapOptions.empty());
    ASSERT_EQ(longLine.m_Unmapped.size(), 1u);
    EXPECT_EQ(longLine.m_Unmapped[0].m_nCode, 12);

    // Braces and semicolons without words, and words without end.
    Parse(std::string(100000, '{'), "vcli", ENOENT);
    Parse(std::string(100000, '}'), "vcli", ENOENT);
    Parse(std::string(100000, ';'), "vcli", ENOENT);
    Parse("lease " + std::string(100000, 'x'), "vcli", ENOENT);
}
// Every DHCPv4 name of dhcp-options(5) that the window's table lacked, as
// dhclient writes the option; Kea sent these and they were lost.
TEST(DhclientLeases, TheNamesOfDhcpOptionsFive)
{
    const struct
    {
        const char* pszLine;
        std::uint8_t nCode;
        OptionBytes expected;
    } kCases[] = {
        {"nds-servers 10.0.0.1,10.0.0.2", 85, {10, 0, 0, 1, 10, 0, 0, 2}},
        {"nds-tree-name \"tree\"", 86, TextBytes("tree")},
        {"nds-context 63:74:78", 87, TextBytes("ctx")},
        {"bcms-controller-names \"bc.lab.\"", 88, {2, 'b', 'c', 3, 'l', 'a', 'b', 0}},
        {"pxe-system-type 7,9", 93, {0, 7, 0, 9}},
        {"pxe-interface-id 1 2 1", 94, {1, 2, 1}},
        {"v6-only-preferred 1800", 108, {0, 0, 0x07, 0x08}},
        {"default-url \"http://lab/\"", 114, TextBytes("http://lab/")},
        {"name-service-search 6,41", 117, {0, 6, 0, 41}},
        {"subnet-selection 10.1.0.0", 118, {10, 1, 0, 0}},
        {"v4-lost \"lost.lab\"", 137, {4, 'l', 'o', 's', 't', 3, 'l', 'a', 'b', 0}},
        {"sip-ua-cs-domains \"sip.lab.\"", 141, {3, 's', 'i', 'p', 3, 'l', 'a', 'b', 0}},
        {"tftp-server-address 10.0.0.5", 150, {10, 0, 0, 5}},
        {"loader-reboottime 30", 211, {0, 0, 0, 30}},
        {"unknown-224 1:2:ff", 224, {1, 2, 0xFF}},
    };
    for (const auto& test : kCases)
    {
        const Lease lease =
            Parse("lease { interface \"vcli\"; option " + std::string(test.pszLine) + "; }");
        EXPECT_EQ(lease.m_mapOptions, (OptionMap{{test.nCode, test.expected}})) << test.pszLine;
        EXPECT_TRUE(lease.m_Unmapped.empty()) << test.pszLine;
    }
}

TEST(DhclientLeases, ALineWithoutBytesIsKeptAsWritten)
{
    const Lease lease = Parse("lease { interface \"vcli\";\n"
                              "option site-local-thing 1:2:3;\n"            // declared nowhere
                              "option slp-directory-agent true 10.0.0.1;\n" // a form of its own
                              // The last line of a name wins, read or not.
                              "option routers 10.0.0.1;\n"
                              "option routers 10.0.0.300;\n"
                              "option mask-supplier maybe;\n"
                              "option mask-supplier true;\n"
                              "option wpad \"a\", \"b\";\n" // the last text of a name
                              "option wpad \"c\" d;\n"
                              "}\n");
    EXPECT_EQ(lease.m_mapOptions, (OptionMap{{30, {1}}}));
    const struct
    {
        const char* pszName;
        std::optional<std::uint8_t> nCode;
        const char* pszText;
    } kKept[] = {
        {"site-local-thing", std::nullopt, "1:2:3"},
        {"slp-directory-agent", 78, "true 10.0.0.1"},
        {"routers", 3, "10.0.0.300"},
        {"wpad", 252, "\"c\" d"},
    };
    ASSERT_EQ(lease.m_Unmapped.size(), std::size(kKept));
    for (std::size_t i = 0; i < std::size(kKept); ++i)
    {
        EXPECT_EQ(lease.m_Unmapped[i].m_strName, kKept[i].pszName);
        EXPECT_EQ(lease.m_Unmapped[i].m_nCode, kKept[i].nCode) << kKept[i].pszName;
        EXPECT_EQ(lease.m_Unmapped[i].m_strText, kKept[i].pszText);
    }
}

TEST(DhclientLeases, DeclaredNamesAreReadAsTheirType)
{
    const std::vector<DhclientDeclaration> declared = ParseDhclientDeclarations(
        "# Debian's own\n"
        "option rfc3442-classless-static-routes code 121 = array of unsigned integer 8;\n"
        "option site-flag code 224 = boolean;\n"
        "option site-url code 225 = text;\n"
        "option site-pair code 226 = { ip-address, text };\n"
        "option site-flag code 227 = unsigned integer 16;\n" // the later declaration wins
        "option space site; option site.sub code 1 = text;\n"
        "option zero code 0 = text; option end code 255 = text; option big code 999 = text;\n"
        "interface \"vcli\" { option inner code 228 = ip-address; }\n");
    const struct
    {
        const char* pszName;
        std::uint8_t nCode;
        std::optional<WireType> type;
    } kExpected[] = {
        {"rfc3442-classless-static-routes", 121, WireType::UInt8List},
        {"site-flag", 227, WireType::UInt16},
        {"site-url", 225, WireType::Text},
        {"site-pair", 226, std::nullopt},
        {"inner", 228, WireType::Address},
    };
    ASSERT_EQ(declared.size(), std::size(kExpected));
    for (std::size_t i = 0; i < declared.size(); ++i)
    {
        EXPECT_EQ(declared[i].m_strName, kExpected[i].pszName);
        EXPECT_EQ(declared[i].m_nCode, kExpected[i].nCode) << kExpected[i].pszName;
        EXPECT_EQ(declared[i].m_type, kExpected[i].type) << kExpected[i].pszName;
    }

    Lease lease;
    ASSERT_EQ(ParseDhclientLeases("lease { interface \"vcli\";\n"
                                  "option rfc3442-classless-static-routes 24,10,99,5,10,99,0,1;\n"
                                  "option site-flag 515; option site-url \"http://x/\";\n"
                                  "option site-pair 10.0.0.1 \"a\"; }",
                                  "vcli", lease, declared),
              0);
    EXPECT_EQ(lease.m_mapOptions, (OptionMap{{121, {24, 10, 99, 5, 10, 99, 0, 1}},
                                             {225, TextBytes("http://x/")},
                                             {227, {2, 3}}}));
    ASSERT_EQ(lease.m_Unmapped.size(), 1u);
    EXPECT_EQ(lease.m_Unmapped[0].m_nCode, 226);
    EXPECT_EQ(lease.m_Unmapped[0].m_strText, "10.0.0.1 \"a\"");
}

TEST(DhclientLeases, DeclarationsAreBounded)
{
    std::string strText;
    for (std::size_t i = 0; i < kMaxDhclientDeclarations + 10; ++i)
        strText += "option n" + std::to_string(i) + " code 200 = text;\n";
    EXPECT_EQ(ParseDhclientDeclarations(strText).size(), kMaxDhclientDeclarations);
    EXPECT_TRUE(ParseDhclientDeclarations("option a code 1 = { text").empty());
    EXPECT_TRUE(ParseDhclientDeclarations(std::string(100000, '{')).empty());
}
} // namespace
