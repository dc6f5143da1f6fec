#include "core/options/dhcpv6_decoder.h"
#include "core/options/dhcpv6_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;
using json = nlohmann::ordered_json;

// An option on the wire: code and length, two bytes each, then the data.
Bytes Option(std::uint16_t code, const Bytes& data)
{
    Bytes bytes{static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code),
                static_cast<std::uint8_t>(data.size() >> 8),
                static_cast<std::uint8_t>(data.size())};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

const Bytes kAddress = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10};
const Bytes kLifetimes = {0, 0, 0x0e, 0x10, 0, 0, 0x1c, 0x20}; // 3600, 7200
const Bytes kSuccess = Option(13, {0, 0, 'o', 'k'});

struct DecodeCase
{
    const char* what;
    std::uint16_t code;
    Bytes data;
    std::string text;
    const char* value; // JSON
    bool malformed;
};

void PrintTo(const DecodeCase& c, std::ostream* stream)
{
    *stream << c.what;
}

std::string Name(const testing::TestParamInfo<DecodeCase>& info)
{
    return info.param.what;
}

class Decode6EachType : public testing::TestWithParam<DecodeCase>
{
};

TEST_P(Decode6EachType, GivesTextValueAndVerdict)
{
    const DecodeCase& c = GetParam();
    const ExtendedOption option = DecodeDhcpv6Option(c.code, c.data.data(), c.data.size());
    EXPECT_EQ(option.m_nCode, c.code);
    EXPECT_EQ(option.m_strText, c.text);
    EXPECT_EQ(option.m_value, json::parse(c.value));
    EXPECT_EQ(option.m_bMalformed, c.malformed);

    const std::vector<ExtendedOption> texts =
        DecodeAllOptions6({{c.code, c.data}}, ExtendedParts::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].m_strText, c.text);
    EXPECT_TRUE(texts[0].m_value.is_null());
    EXPECT_EQ(texts[0].m_bMalformed, c.malformed);
}

const DecodeCase kEachType[] = {
    {"DuidLlt",
     1,
     {0, 1, 0, 1, 0x30, 0xe8, 0x75, 0x80, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff},
     "LLT, hardware 1, 2026-01-01 00:00:00 UTC, aa:bb:cc:dd:ee:ff",
     R"({"type":1,"hardware_type":1,"time":820540800,"time_text":"2026-01-01 00:00:00 UTC",
         "link_layer_address":"aa:bb:cc:dd:ee:ff"})",
     false},
    {"DuidEn",
     2,
     {0, 2, 0, 0, 0x11, 0x8b, 0x0a, 0x0b},
     "EN, enterprise 4491: 0a0b",
     R"({"type":2,"enterprise":4491,"identifier":"0a0b"})",
     false},
    {"DuidLl",
     1,
     {0, 3, 0, 1, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff},
     "LL, hardware 1, aa:bb:cc:dd:ee:ff",
     R"({"type":3,"hardware_type":1,"link_layer_address":"aa:bb:cc:dd:ee:ff"})",
     false},
    {"DuidUuid",
     1,
     {0, 4, 0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee,
      0xff},
     "UUID 00112233-4455-6677-8899-aabbccddeeff",
     R"({"type":4,"uuid":"00112233-4455-6677-8899-aabbccddeeff"})",
     false},
    {"DuidUnknownType", 53, {0, 9, 1, 2}, "type 9, 0102", R"({"type":9,"hex":"0102"})", false},
    {"DuidUuidShort", 1, {0, 4, 0, 1}, "00040001", R"("00040001")", true},
    {"DuidLltCut", 1, {0, 1, 0, 1, 0}, "0001000100", R"("0001000100")", true},
    {"DuidOneByte", 2, {0}, "00", R"("00")", true},
    {"IaNaWithAddress", 3,
     Join({{0, 0, 0, 1, 0, 0, 0x07, 0x08, 0, 0, 0x0b, 0x40},
           Option(5, Join({kAddress, kLifetimes, kSuccess}))}),
     "IAID 1, T1 1800 s (30 min), T2 2880 s (48 min), {IA Address: 2001:db8::10, preferred "
     "3600 s (1 h), valid 7200 s (2 h), {Status Code: 0 (Success): ok}}",
     R"({"iaid":1,"t1":1800,"t2":2880,"options":[{"code":5,"name":"IA Address","value":
         {"address":"2001:db8::10","preferred_lifetime":3600,"valid_lifetime":7200,"options":
         [{"code":13,"name":"Status Code","value":{"code":0,"name":"Success","message":"ok"}}]}}]})",
     false},
    {"IaTaEmpty", 4, {0, 0, 0, 7}, "IAID 7", R"({"iaid":7,"options":[]})", false},
    {"IaPdWithPrefix", 25,
     Join({{0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}, Option(26, Join({kLifetimes, {56}, kAddress}))}),
     "IAID 2, T1 0 s, T2 0 s, {IA Prefix: 2001:db8::10/56, preferred 3600 s (1 h), valid 7200 s "
     "(2 h)}",
     R"({"iaid":2,"t1":0,"t2":0,"options":[{"code":26,"name":"IA Prefix","value":
         {"preferred_lifetime":3600,"valid_lifetime":7200,"prefix":"2001:db8::10/56","options":[]}}]})",
     false},
    {"IaPrefixLengthOver128", 26, Join({kLifetimes, {129}, kAddress}),
     "00000e1000001c208120010db8000000000000000000000010",
     R"("00000e1000001c208120010db8000000000000000000000010")", true},
    {"NestedOptionMalformedParentWell", 3,
     Join({{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, Option(5, {1, 2})}),
     "IAID 1, T1 0 s, T2 0 s, {IA Address: 0102}",
     R"({"iaid":1,"t1":0,"t2":0,"options":[{"code":5,"name":"IA Address","value":"0102",
         "malformed":true}]})",
     false},
    // The overrun one level down: the address is malformed, its association is not.
    {"StatusOverrunsItsAddress", 3,
     Join({{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
           Option(5, Join({kAddress, kLifetimes, {0, 13, 0, 9, 0, 0}}))}),
     "IAID 1, T1 0 s, T2 0 s, {IA Address: 20010db800000000000000000000001000000e1000001c20000d"
     "00090000}",
     R"({"iaid":1,"t1":0,"t2":0,"options":[{"code":5,"name":"IA Address","value":
         "20010db800000000000000000000001000000e1000001c20000d00090000","malformed":true}]})",
     false},
    {"NestedLengthOverruns",
     3,
     {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 30, 1},
     "0000000100000000000000000005001e01",
     R"("0000000100000000000000000005001e01")",
     true},
    {"NestedHeaderCut",
     25,
     {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 26, 0},
     "000000010000000000000000001a00",
     R"("000000010000000000000000001a00")",
     true},
    {"OptionRequest",
     6,
     {0, 23, 0, 24, 0x12, 0x34},
     "23 (DNS Recursive Name Server), 24 (Domain Search List), 4660",
     R"([{"code":23,"name":"DNS Recursive Name Server"},{"code":24,"name":"Domain Search List"},
         {"code":4660,"name":null}])",
     false},
    {"OptionRequestOdd", 6, {0, 23, 0}, "001700", R"("001700")", true},
    {"Preference", 7, {255}, "255", "255", false},
    {"ElapsedTime", 8, {0x01, 0x2d}, "3.01 s", "301", false},
    {"ElapsedTimeAllOnes", 8, {0xff, 0xff}, "655.35 s or more", "65535", false},
    {"RelayMessageReply", 9, Join({{7, 0x0a, 0x0b, 0x0c}, Option(14, {})}),
     "Reply, transaction 0a0b0c, {Rapid Commit: present}",
     R"({"msg_type":7,"name":"Reply","transaction_id":"0a0b0c","options":
         [{"code":14,"name":"Rapid Commit","value":true}]})",
     false},
    {"RelayMessageRelayForward", 9, Join({{12, 1}, kAddress, kAddress}),
     "Relay-forw, hop count 1, link 2001:db8::10, peer 2001:db8::10",
     R"({"msg_type":12,"name":"Relay-forw","hop_count":1,"link_address":"2001:db8::10",
         "peer_address":"2001:db8::10","options":[]})",
     false},
    {"RelayMessageRelayCut", 9, {13, 0, 0, 0}, "0d000000", R"("0d000000")", true},
    {"ServerUnicast", 12, kAddress, "2001:db8::10", R"("2001:db8::10")", false},
    {"StatusCodeUnknown",
     13,
     {0x01, 0x00},
     "256",
     R"({"code":256,"name":null,"message":""})",
     false},
    {"StatusCodeCut", 13, {0}, "00", R"("00")", true},
    {"UserClass", 15, {0, 2, 'a', 'b', 0, 1, 'c'}, "ab, c", R"(["ab","c"])", false},
    {"UserClassItemOverruns", 15, {0, 3, 'a'}, "000361", R"("000361")", true},
    {"VendorClass",
     16,
     {0, 0, 0x11, 0x8b, 0, 2, 0xde, 0xad},
     "enterprise 4491: dead",
     R"({"enterprise":4491,"data":["dead"]})",
     false},
    {"VendorOptions",
     17,
     {0, 0, 0x11, 0x8b, 0, 1, 0, 1, 0xff, 0x12, 0x34, 0, 0},
     "enterprise 4491: 1=ff, 4660=",
     R"({"enterprise":4491,"suboptions":[{"code":1,"hex":"ff"},{"code":4660,"hex":""}]})",
     false},
    {"VendorOptionsOverrun",
     17,
     {0, 0, 0x11, 0x8b, 0, 1, 0, 2, 0xff},
     "0000118b00010002ff",
     R"("0000118b00010002ff")",
     true},
    {"ReconfigureMessage", 19, {5}, "Renew (5)", R"({"code":5,"name":"Renew"})", false},
    {"DnsServers", 23, Join({kAddress, kAddress}), "2001:db8::10, 2001:db8::10",
     R"(["2001:db8::10","2001:db8::10"])", false},
    {"DnsServersNotWhole", 23, {0x20, 0x01}, "2001", R"("2001")", true},
    {"DomainSearchList",
     24,
     {3, 'l', 'a', 'b', 7, 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0, 1, 'c', 0},
     "lab.example, c",
     R"(["lab.example","c"])",
     false},
    {"DomainSearchListCompressed", 24, {1, 'a', 0, 0xc0, 0}, "016100c000", R"("016100c000")", true},
    {"DomainSearchListWithoutRoot", 24, {1, 'a'}, "0161", R"("0161")", true},
    {"InformationRefreshTime", 32, {0, 0, 0x0e, 0x10}, "3600 s (1 h)", "3600", false},
    {"ClientFqdnPartial",
     39,
     {0x01, 4, 'h', 'o', 's', 't'},
     "host, flags 0x01 (S)",
     R"({"flags":1,"name":"host"})",
     false},
    {"ClientFqdnNoName", 39, {0x04}, "flags 0x04 (N)", R"({"flags":4,"name":""})", false},
    {"NtpServer", 56,
     Join({Option(1, kAddress), Option(3, {3, 'n', 't', 'p', 0}), Option(9, {0xab})}),
     "Server Address 2001:db8::10, Server FQDN ntp, 9 ab",
     R"([{"code":1,"name":"Server Address","value":"2001:db8::10"},
         {"code":3,"name":"Server FQDN","value":"ntp"},{"code":9,"name":null,"value":"ab"}])",
     false},
    {"NtpServerShortAddress", 56, Option(2, {0xff, 0x05}), "00020002ff05", R"("00020002ff05")",
     true},
    {"AftrName", 64, {4, 'a', 'f', 't', 'r', 0}, "aftr", R"("aftr")", false},
    {"ClientLinkLayerAddress",
     79,
     {0, 1, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff},
     "type 1, aa:bb:cc:dd:ee:ff",
     R"({"type":1,"address":"aa:bb:cc:dd:ee:ff"})",
     false},
    {"SolMaxRt", 82, {0, 0, 0x0e, 0x10}, "3600 s (1 h)", "3600", false},
    {"RemoteId",
     37,
     {0, 0, 0x11, 0x8b, 0x01},
     "enterprise 4491: 01",
     R"({"enterprise":4491,"remote_id":"01"})",
     false},
    {"RelaySuppliedOptions", 66, Option(23, kAddress), "{DNS Recursive Name Server: 2001:db8::10}",
     R"([{"code":23,"name":"DNS Recursive Name Server","value":["2001:db8::10"]}])", false},
    {"UnknownCode", 65535, {1, 2}, "0102", R"("0102")", false},
};

INSTANTIATE_TEST_SUITE_P(Dhcpv6, Decode6EachType, testing::ValuesIn(kEachType), Name);

TEST(Dhcpv6Decoder, NamesUnknownCodesByNumber)
{
    const Bytes none;
    EXPECT_EQ(DecodeDhcpv6Option(10, none.data(), 0).m_name, "Option 10");
    EXPECT_EQ(DecodeDhcpv6Option(65535, none.data(), 0).m_name, "Option 65535");
    EXPECT_EQ(DecodeDhcpv6Option(1000, none.data(), 0).m_name, "Option 1000");
    EXPECT_EQ(DecodeDhcpv6Option(23, none.data(), 0).m_name, "DNS Recursive Name Server");
}

// A relayed message in a relayed message, deeper than any relay chain
// (RFC 8415 19.1.1 allows 8 hops beyond the client's own message): decoded
// to the limit, hex below it, and every level read within its own length.
TEST(Dhcpv6Decoder, BoundsNestingDepth)
{
    Bytes message = Join({{7, 0, 0, 1}, kSuccess});
    for (int level = 0; level < 40; ++level)
        message = Join({{7, 0, 0, 1}, Option(9, message)});
    const ExtendedOption option = DecodeDhcpv6Option(9, message.data(), message.size());
    ASSERT_FALSE(option.m_bMalformed);
    int depth = 0;
    const json* value = &option.m_value;
    while (value->is_object() && value->contains("options"))
    {
        const json& nested = (*value)["options"][0];
        ++depth;
        if (nested.contains("malformed"))
            break;
        value = &nested["value"];
    }
    EXPECT_EQ(depth, 7);
}

TEST(Dhcpv6Decoder, ReadsTenThousandPrefixes)
{
    Bytes data{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes prefix = Option(26, Join({kLifetimes, {64}, kAddress}));
    for (int i = 0; i < 10000; ++i)
        data.insert(data.end(), prefix.begin(), prefix.end());
    const ExtendedOption option = DecodeDhcpv6Option(25, data.data(), data.size());
    ASSERT_FALSE(option.m_bMalformed);
    EXPECT_EQ(option.m_value["options"].size(), 10000u);
    EXPECT_EQ(option.m_value["options"][9999]["value"]["prefix"], "2001:db8::10/64");
}

TEST(Dhcpv6Decoder, ShowsAnOversizedDuidAsHex)
{
    Bytes duid(65535, 0xab);
    duid[0] = 0;
    duid[1] = 2;
    const ExtendedOption option = DecodeDhcpv6Option(1, duid.data(), duid.size());
    EXPECT_TRUE(option.m_bMalformed);
    EXPECT_EQ(option.m_strText.size(), 2 * duid.size());
}

TEST(Dhcpv6Decoder, KeepsRepeatedCodesInOrder)
{
    const std::vector<ExtendedOption> options =
        DecodeAllOptions6({{23, kAddress}, {7, {1}}, {23, kAddress}});
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(options[0].m_nCode, 23);
    EXPECT_EQ(options[1].m_nCode, 7);
    EXPECT_EQ(options[2].m_nCode, 23);
}
} // namespace
