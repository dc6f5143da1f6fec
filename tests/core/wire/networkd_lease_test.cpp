#include "core/wire/networkd_lease.h"
#include "platform/bounded_file.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/time.h>

namespace
{
using namespace std::string_literals;

Lease Parse(std::string_view text, int nExpected = 0)
{
    Lease lease;
    EXPECT_EQ(ParseNetworkdLease(text, lease), nExpected);
    return lease;
}

// What networkd 252 kept of dnsmasq's answer (see the samples' README).
const OptionMap kSampleOptions = {
    {1, {255, 255, 255, 0}},           // NETMASK
    {3, {10, 99, 0, 1}},               // ROUTER
    {6, {10, 99, 0, 1, 10, 99, 0, 2}}, // DNS
    {12, TextBytes("ignored-by-clients")},
    {15, TextBytes("lab.test")},
    {28, {10, 99, 0, 255}}, // BROADCAST
    // networkd cut the server's 10.99.5.0 to its class A network.
    {33, {10, 0, 0, 0, 10, 99, 0, 1}},
    {42, {10, 99, 0, 1}}, // NTP
    {43, {0x01, 0x04, 0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x03, 0x61, 0x62, 0x63}},
    {51, {0x00, 0x00, 0x02, 0x58}}, // LIFETIME 600
    {54, {10, 99, 0, 1}},           // SERVER_ADDRESS
    {58, {0x00, 0x00, 0x01, 0x2C}}, // T1 300
    {59, {0x00, 0x00, 0x02, 0x0D}}, // T2 525
};

TEST(NetworkdLease, CapturedSampleGivesTheKeptOptions)
{
    const Lease lease = Parse(ReadSample("networkd-lease-2"));
    EXPECT_EQ(lease.m_nYourAddress, 0x0A630092u);
    // NEXT_SERVER is siaddr, not an option; CLIENTID is the client's own.
    EXPECT_EQ(lease.m_mapOptions, kSampleOptions);
    EXPECT_FALSE(lease.m_tObtained);
    EXPECT_FALSE(lease.m_tExpires);
}

TEST(NetworkdLease, KeysNetworkdWritesForOtherOptions)
{
    const Lease lease = Parse("MTU=1400\n"
                              "DOMAIN_SEARCH_LIST=lab.test corp.test\n"
                              "ROOT_PATH=/srv/root\n"
                              "TIMEZONE=Europe/Berlin\n"
                              "SIP=10.99.0.5\n"
                              "CLASSLESS_ROUTES=10.99.5.0/24,10.99.0.1 0.0.0.0/0,10.99.0.1\n"
                              "OPTION_224=0a0b\n"
                              "OPTION_254=ff\n"
                              "OPTION_223=01\n"
                              "OPTION_255=01\n");
    const OptionMap expected = {
        {17, TextBytes("/srv/root")},
        {26, {0x05, 0x78}},
        {101, TextBytes("Europe/Berlin")},
        {119, {3,   'l', 'a', 'b', 4, 't', 'e', 's', 't', 0, 4,
               'c', 'o', 'r', 'p', 4, 't', 'e', 's', 't', 0}},
        {120, {1, 10, 99, 0, 5}},
        {121, {24, 10, 99, 5, 10, 99, 0, 1, 0, 10, 99, 0, 1}},
        {224, {0x0A, 0x0B}},
        {254, {0xFF}},
    };
    EXPECT_EQ(lease.m_mapOptions, expected);
}

TEST(NetworkdLease, QuotesCommentsAndMalformedLines)
{
    const Lease lease = Parse("# comment\n; comment too\n"
                              "  DOMAINNAME = \"lab test\"  \r\n"
                              "HOSTNAME='it''s'\n"
                              "ROOT_PATH=\"a\\\"b\"\n"
                              "NTP=\"10.0.0.1\n"
                              "no equals sign here\n"
                              "=10.0.0.9\n"
                              "UNKNOWN_KEY=1\n"
                              "MTU=70000\n"
                              "ROUTER=10.0.0.256\n"
                              "STATIC_ROUTES=10.99.5.0/24,10.99.0.1\n"
                              "ADDRESS=10.0.0.5");
    EXPECT_EQ(lease.m_nYourAddress, 0x0A000005u);
    EXPECT_EQ(lease.m_mapOptions,
              (OptionMap{{15, TextBytes("lab test")}, {17, TextBytes("a\"b")}}));
}

TEST(NetworkdLease, RepeatedKeysTheLastThatParsesWins)
{
    std::string strText;
    for (int i = 0; i < 300; ++i)
        strText += "MTU=" + std::to_string(1000 + i) + "\n";
    strText += "MTU=huge\n";
    EXPECT_EQ(Parse(strText).m_mapOptions.at(26), (OptionBytes{0x05, 0x13})); // 1299
}

TEST(NetworkdLease, HostileText)
{
    Parse("", ENOENT);
    Parse("# This is private data. Do not parse.\nNEXT_SERVER=10.99.0.1\n", ENOENT);
    const Lease withZero = Parse("DNS=10.0.0.1\0\nNTP=10.0.0.2\nADDRESS\0=10.0.0.3\n"s);
    EXPECT_EQ(withZero.m_mapOptions, (OptionMap{{42, {10, 0, 0, 2}}}));
    EXPECT_FALSE(withZero.m_nYourAddress);
    Parse("HOSTNAME=" + std::string(kMaxFileBytes - 16, 'h'), ENOENT);
    Parse("OPTION_" + std::string(100000, '2') + "=01", ENOENT);
    Parse(std::string(100000, '\n') + std::string(100000, '='), ENOENT);
}

// The JSON form, under the names the KEY=value form uses.
TEST(NetworkdLease, JsonFormMapsToTheSameKeys)
{
    const Lease lease = Parse(R"(  {
        "Address": "10.99.0.146",
        "Netmask": [255, 255, 255, 0],
        "Router": ["10.99.0.1"],
        "ServerAddress": [10, 99, 0, 1],
        "NextServer": "10.99.0.1",
        "Broadcast": "10.99.0.255",
        "T1": 300, "t2": 525, "Lifetime": 600,
        "DNS": [[10, 99, 0, 1], "10.99.0.2"],
        "NTP": ["10.99.0.1"],
        "DomainName": "lab.test",
        "Hostname": "ignored-by-clients",
        "Static_Routes": "10.0.0.0/8,10.99.0.1",
        "ClientId": "01020000990002",
        "VendorSpecific": "0104deadbeef0203616263",
        "Option224": "0a0b",
        "Unknown": {"nested": [1, 2, 3]}
    })");
    EXPECT_EQ(lease.m_nYourAddress, 0x0A630092u);
    OptionMap expected = kSampleOptions;
    expected[224] = {0x0A, 0x0B};
    EXPECT_EQ(lease.m_mapOptions, expected);
}

TEST(NetworkdLease, JsonMembersOfTheWrongTypeAreSkipped)
{
    const Lease lease = Parse(R"({"Lifetime": "abc", "T1": 300.5, "T2": -1, "MTU": true,
        "DNS": {"a": 1}, "NTP": [[10, 99, 0]], "Router": [[10, 99, 0, 256]], "Netmask": null,
        "Hostname": ["a", 1], "Broadcast": [10, 99, 0, 255, 1], "SIP": [],
        "DomainName": "lab.test"})");
    EXPECT_EQ(lease.m_mapOptions, (OptionMap{{15, TextBytes("lab.test")}}));
}

TEST(NetworkdLease, MalformedJsonIsABadMessage)
{
    for (const std::string& strBad :
         {"{"s, "{\"Address\": \"10.0.0.1\",}"s, "{\"Address\": \"10.0.0.1\"} trailing"s,
          "{\"Address\": \"10.0\0.0.1\"}"s,
          "{\"DNS\": " + std::string(1000, '[') + std::string(1000, ']') + "}"})
        Parse(strBad, EBADMSG);
    Parse("{}", ENOENT);
    // Only a '{' starts the JSON form; anything else is read as lines.
    EXPECT_EQ(Parse("[1]\nADDRESS=10.0.0.1").m_nYourAddress, 0x0A000001u);
}

// The JSON reader: strict RFC 8259, its strings' escapes read as UTF-8.
TEST(NetworkdJson, StringEscapesBecomeUtf8)
{
    const Lease lease = Parse(R"({"Hostname": "a\"\\\/\t\u0041\u00e9\u20ac\ud83d\ude00"})");
    EXPECT_EQ(lease.m_mapOptions.at(12),
              TextBytes("a\"\\/\tA\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    for (const char* pszBad : {R"("\ud83d")", R"("\ude00")", R"("\ud83dx")", R"("\q")", R"("\u12")",
                               "\"a\nb\"", "\"open"})
        Parse("{\"Hostname\": "s + pszBad + "}", EBADMSG);
}

// Hostile bytes where networkd writes UTF-8 cost the one value, not the lease.
TEST(NetworkdJson, MalformedUtf8IsReadAsReplacementCharacters)
{
    const Lease lease = Parse("{\"Address\": \"10.0.0.1\", \"Hostname\": \"a\xE9\xC3\"}");
    EXPECT_EQ(lease.m_nYourAddress, 0x0A000001u);
    EXPECT_EQ(lease.m_mapOptions.at(12), TextBytes("a\xEF\xBF\xBD\xEF\xBF\xBD"));
    Parse("{\"Address\": \"10.0.0.1\"\xE9}", EBADMSG); // outside a string it is no JSON
}

TEST(NetworkdJson, StrictGrammar)
{
    for (const char* pszBad : {"01", "-", "1.", ".5", "1e", "+1", "0x10", "NaN", "1 2", "tru",
                               "nul", "'a'", "[1,]", "{\"a\":1,}", "{\"a\" 1}", "{a:1}", "[1 2]"})
        Parse("{\"MTU\": "s + pszBad + "}", EBADMSG);
    for (const char* pszBad :
         {"{\"MTU\": 1}}", "{\"MTU\": 1}x", "{'MTU': 1}", "{\"MTU\": 1 /* */}"})
        Parse(pszBad, EBADMSG);
}

// Members apply in the order they stand; a later one that does not parse
// leaves the earlier.
TEST(NetworkdJson, RepeatedMembersApplyInOrder)
{
    EXPECT_EQ(Parse(R"({"DNS": "10.0.0.1", "Dns": "10.0.0.2", "DNS": "bad"})").m_mapOptions,
              (OptionMap{{6, {10, 0, 0, 2}}}));
}

TEST(NetworkdJson, NestingAndValueCountAreCapped)
{
    // The object is depth 0; a member's value may hold kMaxJsonDepth levels.
    const auto WithNesting = [](int nLevels)
    {
        return "{\"MTU\": 1500, \"Unknown\": " +
               std::string(static_cast<std::size_t>(nLevels), '[') +
               std::string(static_cast<std::size_t>(nLevels), ']') + "}";
    };
    Parse(WithNesting(kMaxJsonDepth));
    Parse(WithNesting(kMaxJsonDepth + 1), EBADMSG);
    Parse(WithNesting(100000), EBADMSG);

    // The object, MTU's value and Unknown's array are three values.
    std::string strMany = "{\"MTU\": 1500, \"Unknown\": [0";
    for (std::size_t i = 1; i < kMaxJsonValues - 3; ++i)
        strMany += ",0";
    Parse(strMany + "]}");
    Parse(strMany + ",0]}", EBADMSG);
}
} // namespace
