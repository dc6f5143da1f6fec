#include "app/cli/json_text.h"
#include "app/cli/result_output.h"
#include "app/cli/text_columns.h"
#include "core/options/extended_decoder.h"

#include <gtest/gtest.h>

namespace
{
DhcpOption Row(std::uint32_t nCode, const char* pszParameter, const char* pszData)
{
    DhcpOption option;
    option.m_nCode = nCode;
    option.m_strParameter = pszParameter;
    option.m_strData = pszData;
    return option;
}

TEST(TerminalText, ColumnsAlignByCharactersAndEndWithoutPadding)
{
    EXPECT_EQ("Name     Data\n"
              "caf\xC3\xA9     x\n"
              "tab\\x09\n",
              FormatColumns({{"Name", "Data"}, {"caf\xC3\xA9", "x"}, {"tab\t", ""}}));
}

TEST(TerminalText, DataFormsShownOnATerminalKeepTheirLines)
{
    EXPECT_EQ("a\tb\n\\x1B[2J\tc\\x0D\nd\\xFF", TerminalSafeLines("a\tb\n\x1b[2J\tc\rd\xff"));
    EXPECT_EQ("", TerminalSafeLines(""));
}

TEST(ResultOutput, CopyAllIsExactlyTheWindowsText)
{
    const DhcpOptionList options{Row(54, "DHCP Server", "10.99.0.1"),
                                 Row(6, "DNS Server", "10.99.0.1 10.99.0.2 "),
                                 Row(43, "Vendor Spec Info", "")};
    EXPECT_EQ(
        "DHCP Server\t10.99.0.1\t\rDNS Server\t10.99.0.1 10.99.0.2 \t\rVendor Spec Info\t\t\r",
        FormatCopyAll(options));
    EXPECT_EQ("", FormatCopyAll({}));
}

TEST(ResultOutput, CopyAllOnATerminalKeepsOneLineARow)
{
    // A value that would draw a cell, a row and a line over the last.
    const DhcpOptionList options{Row(15, "Domain Name", "a\tb\nc\rd\x1b[2J"),
                                 Row(54, "DHCP Server", "10.99.0.1")};
    EXPECT_EQ("Domain Name\ta\\x09b\\x0Ac\\x0Dd\\x1B[2J\t\\x0D\n"
              "DHCP Server\t10.99.0.1\t\\x0D\n",
              FormatCopyAllShown(options));
}

TEST(ResultOutput, TsvHasAHeaderAndOneRecordALine)
{
    EXPECT_EQ("DHCP Parameter\tDHCP Data\n"
              "DHCP Server\t10.99.0.1\n"
              "Domain Name\tlab\\ttest\\r\n"
              "Vendor Spec Info\t\n",
              FormatTsv({Row(54, "DHCP Server", "10.99.0.1"), Row(15, "Domain Name", "lab\ttest\r"),
                         Row(43, "Vendor Spec Info", "")}));
    EXPECT_EQ("DHCP Parameter\tDHCP Data\n", FormatTsv({}));
}

TEST(ResultOutput, RowsShowTheWindowsTwoColumns)
{
    EXPECT_EQ(
        "DHCP Parameter  DHCP Data\n"
        "DHCP Server     10.99.0.1\n"
        "Domain Name     evil\\x1B]0;x\n",
        FormatRows({Row(54, "DHCP Server", "10.99.0.1"), Row(15, "Domain Name", "evil\x1b]0;x")}));
}

TEST(ResultOutput, JsonCarriesTheRequestedOptionsRawBytesAndTheirSource)
{
    Lease lease;
    lease.m_mapOptions = {{54, {10, 99, 0, 1}}, {12, {'a', 0xFF}}, {150, {1}}};
    lease.m_mapSources = {{54, "dhcpcd"}, {12, "inform"}, {150, "inform"}};
    EXPECT_EQ("[\n"
              "  {\"family\": \"ipv4\", \"code\": 54, \"parameter\": \"DHCP Server\", \"data\": "
              "\"10.99.0.1\", "
              "\"hex\": \"0a630001\", \"source\": \"dhcpcd\"},\n"
              "  {\"family\": \"ipv4\", \"code\": 12, \"parameter\": \"Host Name\", \"data\": "
              "\"a\xEF\xBF\xBD\", "
              "\"hex\": \"61ff\", \"source\": \"inform\"}\n"
              "]\n",
              FormatJson(&lease, nullptr));
    EXPECT_EQ("[\n]\n", FormatJson(nullptr, nullptr));
}

struct JsonTextCase
{
    const char* pszWhat;
    std::string strBytes; // the Domain Name option's data
    const char* pszJson;  // its "data" member
};

TEST(ResultOutput, EveryByteSequenceBecomesValidJson)
{
    const JsonTextCase kCases[] = {
        {"quotes and backslashes", "say \"hi\" \\ now", R"("say \"hi\" \\ now")"},
        // Each in the one spelling the command has always used.
        {"control bytes", "\x01\b\t\n\f\r\x1b\x1f\x7f",
         R"("\u0001\u0008\u0009\u000A\u000C\u000D\u001B\u001F\u007F")"},
        // A terminal acts on C1 controls in UTF-8 as on their 8-bit bytes.
        {"C1 controls, and the characters beside them",
         "\xC2\x80\xC2\x9B"
         "2J\xC2\x9F\xC2\xA0",
         "\"\\u0080\\u009B"
         "2J\\u009F\xC2\xA0\""},
        {"well-formed UTF-8 of two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
         "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},
        // A stray continuation byte, an overlong NUL, a surrogate, a code point
        // above U+10FFFF and a sequence cut off at the end: one U+FFFD a byte,
        // as the rows show one \xNN a byte.
        {"ill-formed UTF-8", "\x80|\xC0\x80|\xED\xA0\x80|\xF4\x90\x80\x80|\xE2\x82",
         "\"\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const JsonTextCase& test : kCases)
    {
        Lease lease;
        lease.m_mapOptions[15].assign(test.strBytes.begin(), test.strBytes.end());
        const std::string strJson = FormatJson(&lease, nullptr);
        const std::string strData = std::string("\"data\": ") + test.pszJson + ", ";
        EXPECT_NE(std::string::npos, strJson.find(strData)) << test.pszWhat << ": " << strJson;
    }
}

TEST(ResultOutput, AdapterListOrTheWindowsTextForNone)
{
    EXPECT_EQ("No Interfaces Present\n", FormatAdapters({}));
    AdapterInfo adapter;
    adapter.m_strMacAddress = "02:00:00:99:00:02";
    adapter.m_strAdapterName = "vcli";
    adapter.m_strDescription = "veth";
    adapter.m_IpAddresses = {"10.99.0.146"};
    adapter.m_DhcpServers = {"10.99.0.1"};
    EXPECT_EQ("Hardware Address   Name  Description  IPv4 Address  DHCP Server\n"
              "02:00:00:99:00:02  vcli  veth         10.99.0.146   10.99.0.1\n",
              FormatAdapters({adapter}));
    // A name of any bytes Linux allows is listed as the rows show it.
    adapter.m_strAdapterName = "e\xFFx";
    EXPECT_EQ("Hardware Address   Name    Description  IPv4 Address  DHCP Server\n"
              "02:00:00:99:00:02  e\\xFFx  veth         10.99.0.146   10.99.0.1\n",
              FormatAdapters({adapter}));
}

TEST(ResultOutput, AdapterListAsJson)
{
    EXPECT_EQ("[\n]\n", FormatAdaptersJson({}));
    AdapterInfo adapter;
    adapter.m_nType = 6;
    adapter.m_strMacAddress = "02:00:00:99:00:02";
    adapter.m_strAdapterName = "vcli";
    adapter.m_strDescription = "veth";
    adapter.m_strSubnetMask = "255.255.255.0";
    adapter.m_IpAddresses = {"10.99.0.146", "10.99.1.7"};
    adapter.m_Ipv6Addresses = {"fe80::1/64", "2001:db8::5/64"};
    adapter.m_Gateways = {"10.99.0.1"};
    adapter.m_bDhcpEnabled = 1;
    adapter.m_DhcpServers = {"10.99.0.1"};
    adapter.m_tLeaseObtained = 1796738587;
    AdapterInfo bare;
    bare.m_strAdapterName = "lo";
    const std::string vcliStart =
        "  {\"name\": \"vcli\", \"hardware_address\": \"02:00:00:99:00:02\", "
        "\"description\": \"veth\", \"type\": 6, "
        "\"ipv4_addresses\": [\"10.99.0.146\", \"10.99.1.7\"], ";
    const std::string vcliEnd =
        "\"subnet_mask\": \"255.255.255.0\", "
        "\"gateways\": [\"10.99.0.1\"], \"dhcp_enabled\": true, \"dhcp_servers\": [\"10.99.0.1\"], "
        "\"dns_servers\": [], \"lease_obtained\": \"2026-12-08T14:03:07+00:00\", "
        "\"lease_expires\": null}";
    const std::string ipv6 = "\"ipv6_addresses\": [\"fe80::1/64\", \"2001:db8::5/64\"], ";
    const std::string loStart = "  {\"name\": \"lo\", \"hardware_address\": \"\", \"description\": "
                                "\"\", \"type\": 0, \"ipv4_addresses\": [], ";
    const std::string loEnd =
        "\"subnet_mask\": \"\", \"gateways\": [], \"dhcp_enabled\": false, "
        "\"dhcp_servers\": [], \"dns_servers\": [], \"lease_obtained\": null, "
        "\"lease_expires\": null}";
    EXPECT_EQ("[\n" + vcliStart + ipv6 + vcliEnd + ",\n" + loStart + "\"ipv6_addresses\": [], " +
                  loEnd + "\n]\n",
              FormatAdaptersJson({adapter, bare}));
    // -4 keeps the list as it was; -6 lists the adapters with an IPv6 address.
    EXPECT_EQ("[\n" + vcliStart + vcliEnd + ",\n" + loStart + loEnd + "\n]\n",
              FormatAdaptersJson({adapter, bare}, AddressFamilies::Ipv4));
    EXPECT_EQ("[\n" + vcliStart + ipv6 + vcliEnd + "\n]\n",
              FormatAdaptersJson({adapter, bare}, AddressFamilies::Ipv6));
}

TEST(ResultOutput, AdapterListShowsTheFamiliesAsked)
{
    AdapterInfo both;
    both.m_strMacAddress = "02:00:00:99:00:02";
    both.m_strAdapterName = "vcli";
    both.m_IpAddresses = {"10.99.0.146"};
    both.m_DhcpServers = {"10.99.0.1"};
    both.m_Ipv6Addresses = {"fe80::1/64", "2001:db8::5/64"};
    AdapterInfo linkLocal;
    linkLocal.m_strAdapterName = "vll";
    linkLocal.m_Ipv6Addresses = {"fe80::2/64"};
    AdapterInfo ipv4Only;
    ipv4Only.m_strAdapterName = "v4";
    ipv4Only.m_IpAddresses = {"10.0.0.4"};
    const struct
    {
        AdapterList adapters;
        AddressFamilies families;
        const char* text;
    } cases[] = {
        // The IPv6 column is there only where an adapter has an address
        // that is not link-local, as every adapter has.
        {{ipv4Only},
         AddressFamilies::Both,
         "Hardware Address  Name  Description  IPv4 Address  DHCP Server\n"
         "                  v4                 10.0.0.4\n"},
        {{linkLocal, ipv4Only},
         AddressFamilies::Both,
         "Hardware Address  Name  Description  IPv4 Address  DHCP Server\n"
         "                  vll\n"
         "                  v4                 10.0.0.4\n"},
        {{both, linkLocal, ipv4Only},
         AddressFamilies::Both,
         "Hardware Address   Name  Description  IPv4 Address  DHCP Server  IPv6 Address\n"
         "02:00:00:99:00:02  vcli               10.99.0.146   10.99.0.1    2001:db8::5/64\n"
         "                   vll                                           fe80::2/64\n"
         "                   v4                 10.0.0.4\n"},
        {{both, ipv4Only},
         AddressFamilies::Ipv4,
         "Hardware Address   Name  Description  IPv4 Address  DHCP Server\n"
         "02:00:00:99:00:02  vcli               10.99.0.146   10.99.0.1\n"
         "                   v4                 10.0.0.4\n"},
        {{both, linkLocal, ipv4Only},
         AddressFamilies::Ipv6,
         "Hardware Address   Name  Description  IPv6 Address\n"
         "02:00:00:99:00:02  vcli               2001:db8::5/64\n"
         "                   vll                fe80::2/64\n"},
        {{ipv4Only}, AddressFamilies::Ipv6, "No Interfaces Present\n"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.text, FormatAdapters(test.adapters, test.families));
}

TEST(JsonText, OneLineInTheValuesOwnOrder)
{
    nlohmann::ordered_json value = {{"z", 1}, {"a", {{"y", true}, {"b", nullptr}}}};
    value["list"] = {1, "t\x1b", nlohmann::json::array()};
    EXPECT_EQ(R"({"z": 1, "a": {"y": true, "b": null}, "list": [1, "t\u001B", []]})",
              JsonLine(value));
    // An nlohmann::json keeps its members sorted by name.
    EXPECT_EQ(R"({"a": {}, "b": 2})",
              JsonLine(nlohmann::json{{"b", 2}, {"a", nlohmann::json::object()}}));
}

TEST(JsonText, ADecodedOptionsBytesThatAreNotUtf8ShowAsReplacementCharacters)
{
    const OptionBytes text{'a', 0x80, 'b', 0xC3};
    const OptionBytes names{2, 0xFF, 'a', 0};
    EXPECT_EQ(
        JsonLine(ExtendedOptionJson(DecodeExtendedOption(15, text.data(), text.size()), text)),
        "{\"code\": 15, \"name\": \"Domain Name\", \"value\": \"a\xEF\xBF\xBD"
        "b\xEF\xBF\xBD\", \"text\": \"a\xEF\xBF\xBD"
        "b\xEF\xBF\xBD\", \"hex\": \"618062c3\"}");
    EXPECT_EQ(JsonLine(DecodeExtendedOption(119, names.data(), names.size()).m_value),
              "[\"\xEF\xBF\xBD"
              "a\"]");
}

TEST(JsonText, DocumentsBreakTheTopLevelAndItsArraysIntoLines)
{
    const std::pair<nlohmann::ordered_json, const char*> cases[] = {
        {nlohmann::ordered_json::array(), "[\n]\n"},
        {{{{"a", 1}}, {{"b", 2}}}, "[\n  {\"a\": 1},\n  {\"b\": 2}\n]\n"},
        {{{"name", "x"}, {"list", {{{"c", 1}}, 2}}, {"none", nlohmann::ordered_json::array()}},
         "{\n  \"name\": \"x\",\n  \"list\": [\n    {\"c\": 1},\n    2\n  ],\n"
         "  \"none\": []\n}\n"},
    };
    for (const auto& [document, pszText] : cases)
        EXPECT_EQ(pszText, JsonDocument(document));
}
} // namespace
