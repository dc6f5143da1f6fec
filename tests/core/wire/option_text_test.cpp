#include "core/model/requested_options.h"
#include "core/wire/option_text.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{
struct NamedCase
{
    const char* pszName;
    const char* pszValue;
    std::uint8_t nCode;
    OptionBytes bytes;
};

// One value per option the program asks for, as dhclient writes it.
const NamedCase kRequested[] = {
    {"dhcp-server-identifier", "10.99.0.1", 54, {10, 99, 0, 1}},
    {"host-name", "\"pc1\"", 12, {'p', 'c', '1'}},
    {"subnet-mask", "255.255.255.0", 1, {255, 255, 255, 0}},
    {"domain-name", "\"lab.test\"", 15, TextBytes("lab.test")},
    {"domain-name-servers", "10.99.0.1,10.99.0.2", 6, {10, 99, 0, 1, 10, 99, 0, 2}},
    {"routers", "10.99.0.1", 3, {10, 99, 0, 1}},
    {"time-servers", "10.99.0.1", 4, {10, 99, 0, 1}},
    {"time-offset", "-18000", 2, {0xFF, 0xFF, 0xB9, 0xB0}},
    {"log-servers", "10.0.0.7", 7, {10, 0, 0, 7}},
    {"cookie-servers", "10.0.0.8", 8, {10, 0, 0, 8}},
    {"lpr-servers", "10.0.0.9", 9, {10, 0, 0, 9}},
    {"impress-servers", "10.0.0.10", 10, {10, 0, 0, 10}},
    {"resource-location-servers", "10.0.0.11", 11, {10, 0, 0, 11}},
    {"merit-dump", "\"/dump\"", 14, TextBytes("/dump")},
    {"swap-server", "10.0.0.16", 16, {10, 0, 0, 16}},
    {"root-path", "\"/srv/root\"", 17, TextBytes("/srv/root")},
    {"extensions-path", "\"/ext\"", 18, TextBytes("/ext")},
    {"max-dgram-reassembly", "576", 22, {0x02, 0x40}},
    {"default-ip-ttl", "64", 23, {64}},
    {"path-mtu-aging-timeout", "600", 24, {0, 0, 0x02, 0x58}},
    {"path-mtu-plateau-table", "68,296,1500", 25, {0, 68, 0x01, 0x28, 0x05, 0xDC}},
    {"broadcast-address", "10.99.0.255", 28, {10, 99, 0, 255}},
    {"static-routes", "10.99.5.0 10.99.0.1", 33, {10, 99, 5, 0, 10, 99, 0, 1}},
    {"arp-cache-timeout", "60", 35, {0, 0, 0, 60}},
    {"ieee802-3-encapsulation", "true", 36, {1}},
    {"default-tcp-ttl", "128", 37, {128}},
    {"tcp-keepalive-interval", "7200", 38, {0, 0, 0x1C, 0x20}},
    {"tcp-keepalive-garbage", "off", 39, {0}},
    {"nis-servers", "10.0.0.41", 41, {10, 0, 0, 41}},
    {"ntp-servers", "10.0.0.42", 42, {10, 0, 0, 42}},
    {"vendor-encapsulated-options", "1:4:de:ad:be:ef", 43, {1, 4, 0xDE, 0xAD, 0xBE, 0xEF}},
    {"netbios-name-servers", "10.0.0.44", 44, {10, 0, 0, 44}},
    {"netbios-node-type", "8", 46, {8}},
    {"netbios-scope", "\"scope1\"", 47, TextBytes("scope1")},
    {"font-servers", "10.0.0.48", 48, {10, 0, 0, 48}},
    {"x-display-manager", "10.0.0.49", 49, {10, 0, 0, 49}},
    {"dhcp-requested-address", "10.99.0.146", 50, {10, 99, 0, 146}},
    {"dhcp-lease-time", "4294967295", 51, {0xFF, 0xFF, 0xFF, 0xFF}},
    {"dhcp-option-overload", "3", 52, {3}},
    {"dhcp-parameter-request-list", "1,28,2,3", 55, {1, 28, 2, 3}},
    {"dhcp-renewal-time", "300", 58, {0, 0, 0x01, 0x2C}},
    {"dhcp-rebinding-time", "525", 59, {0, 0, 0x02, 0x0D}},
    {"vendor-class-identifier", "\"MSFT 5.0\"", 60, TextBytes("MSFT 5.0")},
    {"dhcp-client-identifier", "1:2:0:0:99:0:2", 61, {1, 2, 0, 0, 0x99, 0, 2}},
    {"tftp-server-name", "\"tftp.lab.test\"", 66, TextBytes("tftp.lab.test")},
    {"bootfile-name", "\"pxelinux.0\"", 67, TextBytes("pxelinux.0")},
};

TEST(EncodeOptionText, EveryRequestedOptionHasItsDhclientName)
{
    std::set<std::uint8_t> covered;
    for (const NamedCase& c : kRequested)
    {
        const auto option = EncodeOptionText(c.pszName, c.pszValue);
        ASSERT_TRUE(option) << c.pszName;
        EXPECT_EQ(option->first, c.nCode) << c.pszName;
        EXPECT_EQ(option->second, c.bytes) << c.pszName;
        covered.insert(option->first);
    }
    for (const std::uint32_t nCode : kRequestedOptions)
        EXPECT_EQ(covered.count(static_cast<std::uint8_t>(nCode)), 1u) << nCode;
}

TEST(EncodeOptionText, OtherCommonOptions)
{
    const NamedCase kOthers[] = {
        {"interface-mtu", "1400", 26, {0x05, 0x78}},
        {"nis-domain", "\"nisdom\"", 40, TextBytes("nisdom")},
        {"dhcp-message-type", "5", 53, {5}},
        {"domain-search", "\"lab.test.\", \"corp.test.\"", 119, {3,   'l', 'a', 'b', 4,   't', 'e',
                                                                 's', 't', 0,   4,   'c', 'o', 'r',
                                                                 'p', 4,   't', 'e', 's', 't', 0}},
        {"rfc3442-classless-static-routes",
         "24,10,99,5,10,99,0,1",
         121,
         {24, 10, 99, 5, 10, 99, 0, 1}},
        {"classless-static-routes", "24.10.99.5.10.99.0.1", 121, {24, 10, 99, 5, 10, 99, 0, 1}},
        {"unknown-245", "1:2:ab", 245, {1, 2, 0xAB}},
        {"option-224", "\"abc\"", 224, TextBytes("abc")},
    };
    for (const NamedCase& c : kOthers)
    {
        const auto option = EncodeOptionText(c.pszName, c.pszValue);
        ASSERT_TRUE(option) << c.pszName;
        EXPECT_EQ(option->first, c.nCode) << c.pszName;
        EXPECT_EQ(option->second, c.bytes) << c.pszName;
    }
}

TEST(EncodeOptionText, UnknownNamesAndCodesOutsideOneToTwoFiftyFour)
{
    for (const char* pszName : {"no-such-option", "Routers", "routers ", "option-0", "option-255",
                                "unknown-300", "unknown-", "unknown-12a", "option--1"})
        EXPECT_FALSE(EncodeOptionText(pszName, "1:2")) << pszName;
}

TEST(EncodeOptionText, AValueThatDoesNotParseGivesNoOption)
{
    EXPECT_FALSE(EncodeOptionText("routers", "10.99.0.1,10.99.0.256"));
    EXPECT_FALSE(EncodeOptionText("dhcp-lease-time", "4294967296"));
    EXPECT_FALSE(EncodeOptionText("host-name", "\"unterminated"));
}

TEST(LeaseStart, ExpiryLessTheFiniteLeaseTime)
{
    Lease lease;
    lease.m_tExpires = 1796795526;
    DeriveLeaseStart(lease);
    EXPECT_FALSE(lease.m_tObtained) << "no lease time";

    lease.m_mapOptions[51] = {0, 0, 0x02, 0x58};
    DeriveLeaseStart(lease);
    EXPECT_EQ(lease.m_tObtained, 1796795526 - 600);

    Lease infinite;
    infinite.m_tExpires = 1796795526;
    infinite.m_mapOptions[51] = {0xFF, 0xFF, 0xFF, 0xFF};
    DeriveLeaseStart(infinite);
    EXPECT_FALSE(infinite.m_tObtained);
}
} // namespace
