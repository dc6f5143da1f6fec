#include "app/cli/all_options_output.h"

#include <gtest/gtest.h>

namespace
{
// Every run of the suite starts with TZ=UTC (see tests/CMakeLists.txt).
constexpr std::int64_t kObtained = 1796738587; // 2026-12-08T14:03:07+00:00

Lease SampleLease()
{
    Lease lease;
    lease.m_mapOptions = {
        {1, {255, 255, 255, 0}}, {15, {'l', 'a', 'b', 0x1b, '[', '2', 'J', '\t'}},
        {51, {0, 0, 2, 88}},     {54, {10, 77, 0, 1}},
        {58, {0, 0, 1, 44}},     {3, {10, 77, 0}}, // cut short
    };
    for (const auto& option : lease.m_mapOptions)
        lease.m_mapSources[option.first] = "dhcpcd";
    lease.m_mapSources[54] = "inform";
    lease.m_tObtained = kObtained;
    return lease;
}

TEST(AllOptions, RowsInCodeOrderThenTheLeasesMoments)
{
    EXPECT_EQ("Code  Option                  Value\n"
              "1     Subnet Mask             255.255.255.0\n"
              "3     Router                  0a4d00\n"
              "15    Domain Name             lab\\x1B[2J\\x09\n"
              "51    IP Address Lease Time   600 s (10 min)\n"
              "54    DHCP Server Identifier  10.77.0.1\n"
              "58    Renewal Time Value      300 s (5 min)\n"
              "\n"
              "Obtained        2026-12-08T14:03:07+00:00\n"
              "Renewal (T1)    2026-12-08T14:08:07+00:00\n"
              "Rebinding (T2)  2026-12-08T14:11:52+00:00\n"
              "Expiry          2026-12-08T14:13:07+00:00\n",
              FormatAllRows(SampleLease()));
}

TEST(AllOptions, MomentsOnlyWhereTheLeaseHasThem)
{
    Lease infinite;
    infinite.m_mapOptions = {{51, {0xFF, 0xFF, 0xFF, 0xFF}}};
    infinite.m_tObtained = kObtained;
    EXPECT_EQ("Code  Option                 Value\n"
              "51    IP Address Lease Time  4294967295 s (infinite)\n"
              "\n"
              "Obtained  2026-12-08T14:03:07+00:00\n",
              FormatAllRows(infinite));
    // An address from DHCPINFORM: no lease, no moments.
    Lease inform;
    inform.m_mapOptions = {{54, {10, 77, 0, 1}}};
    EXPECT_EQ("Code  Option                  Value\n"
              "54    DHCP Server Identifier  10.77.0.1\n",
              FormatAllRows(inform));
    EXPECT_EQ("Code  Option  Value\n", FormatAllRows(Lease()));
}

TEST(AllOptions, TsvRecordsWithTheMomentsLast)
{
    EXPECT_EQ("Code\tOption\tValue\n"
              "1\tSubnet Mask\t255.255.255.0\n"
              "3\tRouter\t0a4d00\n"
              "15\tDomain Name\tlab\\x1B[2J\\t\n"
              "51\tIP Address Lease Time\t600 s (10 min)\n"
              "54\tDHCP Server Identifier\t10.77.0.1\n"
              "58\tRenewal Time Value\t300 s (5 min)\n"
              "\tObtained\t2026-12-08T14:03:07+00:00\n"
              "\tRenewal (T1)\t2026-12-08T14:08:07+00:00\n"
              "\tRebinding (T2)\t2026-12-08T14:11:52+00:00\n"
              "\tExpiry\t2026-12-08T14:13:07+00:00\n",
              FormatAllTsv(SampleLease()));
}

TEST(AllOptions, JsonDocument)
{
    EXPECT_EQ(
        "{\n"
        "  \"adapter\": \"vcli\",\n"
        "  \"options\": [\n"
        "    {\"family\": \"ipv4\", \"code\": 1, \"name\": \"Subnet Mask\", \"value\": "
        "\"255.255.255.0\", "
        "\"text\": \"255.255.255.0\", \"hex\": \"ffffff00\", \"source\": \"dhcpcd\"},\n"
        "    {\"family\": \"ipv4\", \"code\": 3, \"name\": \"Router\", \"value\": \"0a4d00\", "
        "\"text\": \"0a4d00\", "
        "\"hex\": \"0a4d00\", \"malformed\": true, \"source\": \"dhcpcd\"},\n"
        "    {\"family\": \"ipv4\", \"code\": 15, \"name\": \"Domain Name\", \"value\": "
        "\"lab\\u001B[2J\\u0009\", "
        "\"text\": \"lab\\u001B[2J\\u0009\", \"hex\": \"6c61621b5b324a09\", \"source\": "
        "\"dhcpcd\"},\n"
        "    {\"family\": \"ipv4\", \"code\": 51, \"name\": \"IP Address Lease Time\", \"value\": "
        "600, "
        "\"text\": \"600 s (10 min)\", \"hex\": \"00000258\", \"source\": \"dhcpcd\"},\n"
        "    {\"family\": \"ipv4\", \"code\": 54, \"name\": \"DHCP Server Identifier\", \"value\": "
        "\"10.77.0.1\", "
        "\"text\": \"10.77.0.1\", \"hex\": \"0a4d0001\", \"source\": \"inform\"},\n"
        "    {\"family\": \"ipv4\", \"code\": 58, \"name\": \"Renewal Time Value\", \"value\": "
        "300, "
        "\"text\": \"300 s (5 min)\", \"hex\": \"0000012c\", \"source\": \"dhcpcd\"}\n"
        "  ],\n"
        "  \"unmapped\": [],\n"
        "  \"lease\": {\"obtained\": \"2026-12-08T14:03:07+00:00\", "
        "\"renewal\": \"2026-12-08T14:08:07+00:00\", \"rebinding\": \"2026-12-08T14:11:52+00:00\", "
        "\"expiry\": \"2026-12-08T14:13:07+00:00\"}\n"
        "}\n",
        FormatAllJson("vcli", SampleLease()));
    // The adapter's name is as untrusted as the options.
    EXPECT_EQ("{\n"
              "  \"adapter\": \"e\xEF\xBF\xBDx\",\n"
              "  \"options\": [],\n"
              "  \"unmapped\": [],\n"
              "  \"lease\": {\"obtained\": null, \"renewal\": null, \"rebinding\": null, "
              "\"expiry\": null}\n"
              "}\n",
              FormatAllJson("e\xFFx", Lease()));
}
// A text dhcpcd's socket may have cut says so, and the lines no bytes could
// be made of follow the options, by name and as written, in every form.
TEST(AllOptions, CutTextsAndUnmappedLinesAreShown)
{
    Lease lease;
    lease.m_mapOptions = {{67, {'/', 'e', 'x', 't'}}, {3, {10, 77, 0, 1}}};
    lease.m_mapSources = {{67, "dhcpcd"}, {3, "dhcpcd"}};
    lease.m_CutOptions = {67};
    lease.m_Unmapped = {{"site-thing", std::nullopt, "1:2\x1b", "dhclient"},
                        {"slp-directory-agent", 78, "true 10.0.0.1", "dhclient"}};
    EXPECT_EQ("Code  Option               Value\n"
              "3     Router               10.77.0.1\n"
              "67    Bootfile name        /ext [may be cut short]\n"
              "      site-thing           1:2\\x1B\n"
              "78    slp-directory-agent  true 10.0.0.1\n",
              FormatAllRows(lease));
    EXPECT_EQ("Code\tOption\tValue\n"
              "3\tRouter\t10.77.0.1\n"
              "67\tBootfile name\t/ext [may be cut short]\n"
              "\tsite-thing\t1:2\\x1B\n"
              "78\tslp-directory-agent\ttrue 10.0.0.1\n",
              FormatAllTsv(lease));
    const std::string strJson = FormatAllJson("vcli", lease);
    EXPECT_NE(std::string::npos,
              strJson.find("\"hex\": \"2f657874\", \"cut\": true, \"source\": \"dhcpcd\"}"))
        << strJson;
    EXPECT_NE(
        std::string::npos,
        strJson.find(
            "  \"unmapped\": [\n"
            "    {\"family\": \"ipv4\", \"code\": null, \"name\": \"site-thing\", \"text\": "
            "\"1:2\\u001B\", \"source\": \"dhclient\"},\n"
            "    {\"family\": \"ipv4\", \"code\": 78, \"name\": \"slp-directory-agent\", \"text\": "
            "\"true 10.0.0.1\", \"source\": \"dhclient\"}\n"
            "  ],\n"))
        << strJson;
}
} // namespace
