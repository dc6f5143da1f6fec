#include "core/options/extended_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;
using json = nlohmann::ordered_json;

struct DecodeCase
{
    const char* pszWhat;
    std::uint8_t nCode;
    Bytes data;
    std::string strText;
    const char* pszValue; // JSON
    bool bMalformed;
};

void PrintTo(const DecodeCase& c, std::ostream* pStream)
{
    *pStream << c.pszWhat;
}

std::string Name(const testing::TestParamInfo<DecodeCase>& info)
{
    return info.param.pszWhat;
}

class DecodeEachType : public testing::TestWithParam<DecodeCase>
{
};

TEST_P(DecodeEachType, GivesTextValueAndVerdict)
{
    const DecodeCase& c = GetParam();
    const ExtendedOption option = DecodeExtendedOption(c.nCode, c.data.data(), c.data.size());
    EXPECT_EQ(option.m_nCode, c.nCode);
    EXPECT_EQ(option.m_strText, c.strText);
    // The value keeps a text's bytes; the cases write a malformed one as U+FFFD.
    EXPECT_EQ(json::parse(option.m_value.dump(-1, ' ', false, json::error_handler_t::replace)),
              json::parse(c.pszValue));
    EXPECT_EQ(option.m_bMalformed, c.bMalformed);

    // Rows and windows ask for the text alone: the same text, no value.
    const std::vector<ExtendedOption> texts =
        DecodeAllOptions({{c.nCode, c.data}}, ExtendedParts::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].m_strText, c.strText);
    EXPECT_TRUE(texts[0].m_value.is_null());
    EXPECT_EQ(texts[0].m_bMalformed, c.bMalformed);
}

const DecodeCase kEachType[] = {
    {"Address", 1, {255, 255, 255, 0}, "255.255.255.0", R"("255.255.255.0")", false},
    {"Addresses",
     6,
     {10, 0, 0, 1, 10, 0, 0, 2},
     "10.0.0.1, 10.0.0.2",
     R"(["10.0.0.1","10.0.0.2"])",
     false},
    {"AddressMaskPairs",
     21,
     {10, 0, 0, 0, 255, 0, 0, 0},
     "10.0.0.0 mask 255.0.0.0",
     R"([{"address":"10.0.0.0","mask":"255.0.0.0"}])",
     false},
    {"StaticRoutes",
     33,
     {10, 1, 0, 0, 10, 0, 0, 1, 10, 2, 0, 0, 10, 0, 0, 2},
     "10.1.0.0 via 10.0.0.1, 10.2.0.0 via 10.0.0.2",
     R"([{"destination":"10.1.0.0","router":"10.0.0.1"},{"destination":"10.2.0.0","router":"10.0.0.2"}])",
     false},
    {"UInt8", 23, {64}, "64", "64", false},
    {"UInt16", 26, {0x05, 0xDC}, "1500", "1500", false},
    {"UInt32", 152, {0xFF, 0xFF, 0xFF, 0xFE}, "4294967294", "4294967294", false},
    {"Int32Negative", 2, {0xFF, 0xFF, 0xB9, 0xB0}, "-18000", "-18000", false},
    {"Int32Lowest", 2, {0x80, 0, 0, 0}, "-2147483648", "-2147483648", false},
    {"UInt8List", 145, {1, 2, 1}, "1, 2, 1", "[1,2,1]", false},
    {"InterfaceIdUndi", 94, {1, 3, 16}, "UNDI 3.16", R"({"type":1,"major":3,"minor":16})", false},
    {"InterfaceIdOtherType",
     94,
     {2, 1, 0},
     "type 2, 1.0",
     R"({"type":2,"major":1,"minor":0})",
     false},
    {"UInt16List", 25, {0x01, 0x28, 0x05, 0xDC}, "296, 1500", "[296,1500]", false},
    {"BooleanTrue", 19, {1}, "true", "true", false},
    {"BooleanFalse", 36, {0}, "false", "false", false},
    {"Text", 15, {'l', 'a', 'b', '.', 'e', 'x'}, "lab.ex", R"("lab.ex")", false},
    {"TextDropsTrailingNuls", 15, {'l', 'a', 'b', 0, 0}, "lab", R"("lab")", false},
    {"TextKeepsInnerNul", 12, {'h', 0, 'i'}, std::string("h\0i", 3), R"("h\u0000i")", false},
    {"Seconds", 51, {0, 0, 0x02, 0x58}, "600 s (10 min)", "600", false},
    {"SecondsInfinite",
     51,
     {0xFF, 0xFF, 0xFF, 0xFF},
     "4294967295 s (infinite)",
     "4294967295",
     false},
    {"MessageType", 53, {5}, "DHCPACK (5)", R"({"code":5,"name":"DHCPACK"})", false},
    {"MessageTypeLeaseQuery",
     53,
     {13},
     "DHCPLEASEACTIVE (13)",
     R"({"code":13,"name":"DHCPLEASEACTIVE"})",
     false},
    {"MessageTypeUnknown", 53, {200}, "200", R"({"code":200,"name":null})", false},
    {"NodeType", 46, {8}, "H-node (8)", R"({"code":8,"name":"H-node"})", false},
    {"ClasslessRoutes",
     121,
     {8, 10, 10, 0, 0, 1, 0, 10, 99, 0, 1},
     "10.0.0.0/8 via 10.0.0.1, 0.0.0.0/0 via 10.99.0.1",
     R"([{"destination":"10.0.0.0/8","router":"10.0.0.1"},{"destination":"0.0.0.0/0","router":"10.99.0.1"}])",
     false},
    {"ClasslessRoutesPrivateCode",
     249,
     {32, 10, 0, 0, 9, 10, 0, 0, 1},
     "10.0.0.9/32 via 10.0.0.1",
     R"([{"destination":"10.0.0.9/32","router":"10.0.0.1"}])",
     false},
    {"DomainList",
     119,
     {3, 'l', 'a', 'b', 2, 'e', 'x', 0, 4, 'c', 'o', 'r', 'p', 0xC0, 4},
     "lab.ex, corp.ex",
     R"(["lab.ex","corp.ex"])",
     false},
    {"SipServerNames",
     120,
     {0, 3, 's', 'i', 'p', 2, 'e', 'x', 0},
     "sip.ex",
     R"(["sip.ex"])",
     false},
    {"SipServerAddresses", 120, {1, 10, 0, 0, 5}, "10.0.0.5", R"(["10.0.0.5"])", false},
    {"ClientFqdnWireForm",
     81,
     {0x05, 0, 0, 4, 'h', 'o', 's', 't', 2, 'e', 'x', 0},
     "host.ex, flags 0x05 (S E), rcode1 0, rcode2 0",
     R"({"flags":5,"rcode1":0,"rcode2":0,"name":"host.ex"})",
     false},
    {"ClientFqdnAscii",
     81,
     {0x00, 255, 255, 'h', '.', 'e', 'x'},
     "h.ex, flags 0x00, rcode1 255, rcode2 255",
     R"({"flags":0,"rcode1":255,"rcode2":255,"name":"h.ex"})",
     false},
    {"ClientFqdnPartialWireName",
     81,
     {0x04, 0, 0, 4, 'h', 'o', 's', 't'},
     "host, flags 0x04 (E), rcode1 0, rcode2 0",
     R"({"flags":4,"rcode1":0,"rcode2":0,"name":"host"})",
     false},
    {"RelayAgentInfo",
     82,
     {1, 3, 'e', 't', 'h', 2, 2, 0xAA, 0xBB, 200, 0},
     "Agent Circuit ID 657468, Agent Remote ID aabb, Sub-option 200 ",
     R"([{"code":1,"name":"Agent Circuit ID","hex":"657468"},{"code":2,"name":"Agent Remote ID","hex":"aabb"},{"code":200,"name":null,"hex":""}])",
     false},
    {"VendorClasses",
     124,
     {0, 0, 0x11, 0x8B, 5, 2, 'a', 'b', 1, 'c'},
     "enterprise 4491: 6162, 63",
     R"([{"enterprise":4491,"data":["6162","63"]}])",
     false},
    {"VendorSuboptions",
     125,
     {0, 0, 0x11, 0x8B, 5, 1, 1, 7, 2, 0, 0, 0, 0, 9, 0},
     "enterprise 4491: 1=07, 2=, enterprise 9: ",
     R"([{"enterprise":4491,"suboptions":[{"code":1,"hex":"07"},{"code":2,"hex":""}]},{"enterprise":9,"suboptions":[]}])",
     false},
    {"VendorTlvWithPadAndEnd",
     43,
     {0, 1, 2, 0xAB, 0xCD, 255, 0},
     "1=abcd",
     R"([{"code":1,"hex":"abcd"}])",
     false},
    {"VendorBytesThatAreNoTlv", 43, {1, 5, 0xAB}, "0105ab", R"("0105ab")", false},
    {"VendorDataAfterEnd", 43, {1, 0, 255, 7}, "0100ff07", R"("0100ff07")", false},
    {"NetWareIpSuboptions",
     63,
     {5, 1, 1, 6, 4, 10, 1, 2, 3},
     "5=01, 6=0a010203",
     R"([{"code":5,"hex":"01"},{"code":6,"hex":"0a010203"}])",
     false},
    {"CableLabsSuboptions",
     122,
     {1, 4, 10, 1, 2, 3},
     "1=0a010203",
     R"([{"code":1,"hex":"0a010203"}])",
     false},
    {"ClientIdEthernet",
     61,
     {1, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0x0F},
     "type 1, aa:bb:cc:dd:ee:0f",
     R"({"type":1,"address":"aa:bb:cc:dd:ee:0f"})",
     false},
    {"ClientIdOther",
     61,
     {255, 0, 0, 0, 1, 0, 1},
     "type 255, 000000010001",
     R"({"type":255,"hex":"000000010001"})",
     false},
    {"ClientIdShortEthernet",
     61,
     {1, 0xAA, 0xBB},
     "type 1, aabb",
     R"({"type":1,"hex":"aabb"})",
     false},
    {"ParameterList",
     55,
     {1, 3, 224},
     "1 (Subnet Mask), 3 (Router), 224",
     R"([{"code":1,"name":"Subnet Mask"},{"code":3,"name":"Router"},{"code":224,"name":null}])",
     false},
    {"UserClassList", 77, {2, 'a', 'b', 1, 'c'}, "ab, c", R"(["ab","c"])", false},
    {"UserClassText", 77, {'i', 'P', 'X', 'E'}, "iPXE", R"("iPXE")", false},
    {"FlagAndAddresses",
     78,
     {1, 10, 0, 0, 1},
     "10.0.0.1 (mandatory)",
     R"({"mandatory":true,"addresses":["10.0.0.1"]})",
     false},
    {"FlagAndText", 79, {0, 's', 'c'}, "sc", R"({"mandatory":false,"text":"sc"})", false},
    {"FlagAndTextDropsTrailingNul",
     79,
     {1, 's', 'c', 0},
     "sc (mandatory)",
     R"({"mandatory":true,"text":"sc"})",
     false},
    {"Presence", 80, {}, "present", "true", false},
    {"StatusCode", 151, {1, 'n', 'o'}, "1: no", R"({"code":1,"message":"no"})", false},
    {"StatusCodeDropsTrailingNul",
     151,
     {0, 'o', 'k', 0},
     "0: ok",
     R"({"code":0,"message":"ok"})",
     false},
    {"StatusCodeOnlyNuls", 151, {2, 0, 0}, "2", R"({"code":2,"message":""})", false},
    {"DataSourceRemote", 157, {1}, "remote", R"({"remote":true})", false},
    {"DataSourceLocal", 157, {0}, "local", R"({"remote":false})", false},
    {"DataSourceIgnoresReservedBits", 157, {0xFE}, "local", R"({"remote":false})", false},
    {"UnknownCode", 224, {0xDE, 0xAD}, "dead", R"("dead")", false},
    {"NamedBytesRow", 220, {1, 2}, "0102", R"("0102")", false},
    {"IsnsServers",
     83,
     {0x80, 0x03, 0x00, 0x01, 0x00, 0x03, 0, 0, 0, 0, 10, 0, 0, 1, 10, 0, 0, 2},
     "functions 0x8003, DD access 0x0001, admin flags 0x0003, security bitmap 0x00000000, "
     "servers 10.0.0.1, 10.0.0.2",
     R"({"functions":32771,"dd_access":1,"admin_flags":3,"security_bitmap":0,"addresses":["10.0.0.1","10.0.0.2"]})",
     false},
    {"IsnsNoServers",
     83,
     {0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
     "functions 0xffff, DD access 0x0000, admin flags 0x0000, security bitmap 0xffffffff",
     R"({"functions":65535,"dd_access":0,"admin_flags":0,"security_bitmap":4294967295,"addresses":[]})",
     false},
    {"Authentication",
     90,
     {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0xAB, 0xCD},
     "protocol 1, algorithm 1, RDM 0, replay detection 0x0000000000000001, information abcd",
     R"({"protocol":1,"algorithm":1,"rdm":0,"replay_detection":"0000000000000001","information":"abcd"})",
     false},
    {"AuthenticationNoInformation",
     90,
     {3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE},
     "protocol 3, algorithm 2, RDM 1, replay detection 0xfffffffffffffffe",
     R"({"protocol":3,"algorithm":2,"rdm":1,"replay_detection":"fffffffffffffffe","information":""})",
     false},
    {"MachineId",
     97,
     {0, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE,
      0xFF},
     "type 0, UUID 33221100-5544-7766-8899-aabbccddeeff",
     R"({"type":0,"uuid":"33221100-5544-7766-8899-aabbccddeeff"})",
     false},
    {"CivicLocation",
     99,
     {2, 'D', 'E', 1, 2, 'B', 'Y', 128, 2, 'd', 'e', 19, 0},
     "what 2 (client), country DE, 1=BY, 128=de, 19=",
     R"({"what":2,"country":"DE","elements":[{"type":1,"value":"BY"},{"type":128,"value":"de"},{"type":19,"value":""}]})",
     false},
    {"CivicLocationNoElementsUnknownWhat",
     99,
     {7, 'U', 'S'},
     "what 7, country US",
     R"({"what":7,"country":"US","elements":[]})",
     false},
    {"CivicLocationBadUtf8",
     99,
     {0, 0xFF, 'S', 3, 1, 0xC3},
     "what 0 (DHCP server), country \xFFS, 3=\xC3",
     R"({"what":0,"country":"\ufffdS","elements":[{"type":3,"value":"\ufffd"}]})",
     false},
    {"GeoConfVersion1",
     123,
     {0x48, 0x5F, 0, 0, 0, 0x4B, 0xEF, 0x80, 0, 0, 0x13, 0xC0, 0x01, 0x90, 0x80, 0x41},
     "latitude 47.5, longitude -8.25, altitude 400.5 (type 1, metres), uncertainty 18/18/15, "
     "datum 1 (WGS84), version 1",
     R"({"latitude":47.5,"latitude_uncertainty":18,"longitude":-8.25,"longitude_uncertainty":18,"altitude_type":1,"altitude":400.5,"altitude_uncertainty":15,"version":1,"datum":1})",
     false},
    {"GeoConfVersion0",
     123,
     {0x03, 0x4C, 0, 0, 0, 0x01, 0x68, 0, 0, 0, 0x20, 0, 0, 0, 0, 0x06},
     "latitude -90, longitude 180, altitude 0 (type 2, floors), uncertainty 0/0/0, datum 6, "
     "version 0",
     R"({"latitude":-90.0,"latitude_uncertainty":0,"longitude":180.0,"longitude_uncertainty":0,"altitude_type":2,"altitude":0.0,"altitude_uncertainty":0,"version":0,"datum":6})",
     false},
    {"GeoLoc",
     144,
     {0x48, 0x5F, 0, 0, 0, 0x4B, 0xEF, 0x80, 0, 0, 0x13, 0xC0, 0x01, 0x90, 0x80, 0x41},
     "latitude 47.5, longitude -8.25, altitude 400.5 (type 1, metres), uncertainty 18/18/15, "
     "datum 1 (WGS84), version 1",
     R"({"latitude":47.5,"latitude_uncertainty":18,"longitude":-8.25,"longitude_uncertainty":18,"altitude_type":1,"altitude":400.5,"altitude_uncertainty":15,"version":1,"datum":1})",
     false},
    {"UriList",
     143,
     {0, 10, 'h', 't', 't', 'p', 's', ':', '/', '/', 'a', '/', 0, 1, 'b'},
     "https://a/, b",
     R"(["https://a/","b"])",
     false},
    {"RdnssSelection",
     146,
     {0x01, 10, 0, 0, 53, 10, 0, 0, 54, 3, 'l', 'a', 'b', 0, 1, 'x', 3, 'l', 'a', 'b', 0},
     "preference high, primary 10.0.0.53, secondary 10.0.0.54, lab, x.lab",
     R"({"flags":1,"preference":"high","primary":"10.0.0.53","secondary":"10.0.0.54","domains":["lab","x.lab"]})",
     false},
    {"RdnssSelectionNoDomains",
     146,
     {0xFF, 10, 0, 0, 53, 0, 0, 0, 0},
     "preference low, primary 10.0.0.53, secondary 0.0.0.0",
     R"({"flags":255,"preference":"low","primary":"10.0.0.53","secondary":"0.0.0.0","domains":[]})",
     false},
    {"PcpServers",
     158,
     {4, 10, 0, 0, 1, 8, 10, 0, 0, 2, 10, 0, 0, 3},
     "10.0.0.1; 10.0.0.2, 10.0.0.3",
     R"([["10.0.0.1"],["10.0.0.2","10.0.0.3"]])",
     false},
    {"PortParameters",
     159,
     {6, 6, 0, 0x34},
     "offset 6, PSID length 6, PSID 0x0034",
     R"({"offset":6,"psid_length":6,"psid":52})",
     false},
    {"PortParametersBounds",
     159,
     {15, 16, 0xFF, 0xFF},
     "offset 15, PSID length 16, PSID 0xffff",
     R"({"offset":15,"psid_length":16,"psid":65535})",
     false},
    {"EncryptedDns",
     162,
     {0, 6,  0, 2, 3, 1,   'a', 0,                                         // ADN-only
      0, 23, 0, 1, 8, 3,   'd', 'n', 's', 2, 'e', 'x', 0, 4, 10, 0, 0, 53, // one address
      0, 1,  0, 3, 2, 'h', '2'},
     "priority 2, a; priority 1, dns.ex, 10.0.0.53, SvcParams 00010003026832",
     R"([{"priority":2,"adn":"a","addresses":[],"svcparams":""},{"priority":1,"adn":"dns.ex","addresses":["10.0.0.53"],"svcparams":"00010003026832"}])",
     false},
    {"PxelinuxMagic", 208, {0xF1, 0x00, 0x74, 0x7E}, "f1:00:74:7e", R"("f1:00:74:7e")", false},
    {"SixRd",
     212,
     {0, 32, 0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 1, 10, 0, 0, 2},
     "IPv4 mask length 0, 6rd prefix 2001:db8::/32, border relays 10.0.0.1, 10.0.0.2",
     R"({"ipv4_mask_length":0,"prefix":"2001:db8::/32","border_relays":["10.0.0.1","10.0.0.2"]})",
     false},
    {"VirtualSubnetName",
     221,
     {0, 'v', 'p', 'n'},
     "VPN name vpn",
     R"({"type":0,"name":"vpn"})",
     false},
    {"VirtualSubnetBadUtf8Name",
     221,
     {0, 0xFF},
     "VPN name \xFF",
     R"({"type":0,"name":"\ufffd"})",
     false},
    {"VirtualSubnetVpnId",
     221,
     {1, 0x00, 0xA0, 0xC9, 0, 0, 0x01, 0x02},
     "VPN-ID 00a0c9:00000102",
     R"({"type":1,"oui":"00a0c9","index":258})",
     false},
    {"VirtualSubnetGlobal", 221, {255}, "global, default VPN", R"({"type":255})", false},
};
INSTANTIATE_TEST_SUITE_P(Extended, DecodeEachType, testing::ValuesIn(kEachType), Name);

// Bytes that do not fit the type: the value and text fall back to the hex.
struct MalformedCase
{
    const char* pszWhat;
    std::uint8_t nCode;
    Bytes data;
};

class DecodeMalformed : public testing::TestWithParam<MalformedCase>
{
};

TEST_P(DecodeMalformed, FallsBackToHex)
{
    const MalformedCase& c = GetParam();
    const ExtendedOption option = DecodeExtendedOption(c.nCode, c.data.data(), c.data.size());
    const std::string strHex = HexText(c.data.data(), c.data.size());
    EXPECT_TRUE(option.m_bMalformed);
    EXPECT_EQ(option.m_strText, strHex);
    EXPECT_EQ(option.m_value, json(strHex));
}

std::string MalformedName(const testing::TestParamInfo<MalformedCase>& info)
{
    return info.param.pszWhat;
}

const MalformedCase kMalformed[] = {
    {"AddressEmpty", 1, {}},
    {"AddressOneShort", 1, {10, 0, 0}},
    {"AddressOneLong", 54, {10, 0, 0, 1, 2}},
    {"AddressesEmpty", 6, {}},
    {"AddressesOneShort", 6, {10, 0, 0, 1, 10, 0, 0}},
    {"PairsHalf", 33, {10, 0, 0, 0}},
    {"UInt8Long", 23, {1, 2}},
    {"UInt16Short", 26, {5}},
    {"UInt32Short", 152, {1, 2, 3}},
    {"Int32Long", 2, {0, 0, 0, 0, 0}},
    {"UInt16ListOdd", 25, {1, 2, 3}},
    {"UInt8ListEmpty", 145, {}},
    {"BooleanTwo", 19, {2}},
    {"BooleanLong", 19, {0, 0}},
    {"TextEmpty", 12, {}},
    {"TextOnlyNuls", 15, {0, 0}},
    {"InterfaceIdShort", 94, {1, 3}},
    {"InterfaceIdLong", 94, {1, 3, 16, 1}},
    {"NetWareIpSuboptionPastEnd", 63, {5, 1, 1, 6, 4, 10}},
    {"NetWareIpEmpty", 63, {}},
    {"CableLabsLoneCode", 122, {1, 4, 10, 1, 2, 3, 2}},
    {"CableLabsPadIsNoSuboption", 122, {0}},
    {"DataSourceLong", 157, {1, 0}},
    {"DataSourceEmpty", 157, {}},
    {"SecondsOneShort", 51, {0, 0, 2}},
    {"SecondsOneLong", 58, {0, 0, 0, 2, 0}},
    {"NamedEmpty", 53, {}},
    {"RoutesTruncated", 121, {24, 10, 0, 0, 10, 0, 0}},
    {"RoutesPrefixAbove32", 121, {33, 10, 0, 0, 0, 10, 0, 0, 1}},
    {"RoutesEmpty", 121, {}},
    {"DomainLoop", 119, {0xC0, 0}},
    {"DomainForwardPointer", 119, {0xC0, 2, 0}},
    {"DomainLabelTooLong", 119, {64}},
    {"SipUnknownEncoding", 120, {2, 10, 0, 0, 1}},
    {"SipOnlyEncoding", 120, {1}},
    {"SipAddressesShort", 120, {1, 10, 0, 0}},
    {"FqdnShort", 81, {0, 0}},
    {"FqdnWireNamePointer", 81, {0x04, 0, 0, 0xC0, 0}},
    {"FqdnWireNameCut", 81, {0x04, 0, 0, 5, 'a'}},
    {"RelayAgentTlvPastEnd", 82, {1, 4, 'a', 'b'}},
    {"RelayAgentEmpty", 82, {}},
    {"RelayAgentLoneCode", 82, {1}},
    {"VendorClassShortHeader", 124, {0, 0, 0, 9}},
    {"VendorClassPastEnd", 124, {0, 0, 0, 9, 4, 1, 'a'}},
    {"VendorClassItemPastBlock", 124, {0, 0, 0, 9, 2, 5, 'a'}},
    {"VendorClassEmptyItem", 124, {0, 0, 0, 9, 1, 0}},
    {"VendorSuboptionPastBlock", 125, {0, 0, 0, 9, 3, 1, 5, 0}},
    {"VendorTlvEmpty", 43, {}},
    {"ClientIdTypeOnly", 61, {1}},
    {"ParameterListEmpty", 55, {}},
    {"UserClassEmpty", 77, {}},
    {"FlagAndAddressesBadFlag", 78, {2, 10, 0, 0, 1}},
    {"FlagAndAddressesShort", 78, {1, 10, 0, 0}},
    {"FlagAndTextEmpty", 79, {}},
    {"PresenceWithData", 80, {1}},
    {"StatusCodeEmpty", 151, {}},
    {"IsnsShortHeader", 83, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"IsnsAddressCut", 83, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0}},
    {"AuthenticationShort", 90, {1, 1, 0, 0, 0, 0, 0, 0, 0, 1}},
    {"MachineIdNotType0", 97, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"MachineIdShort", 97, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"MachineIdLong", 97, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"CivicNoCountry", 99, {2, 'D'}},
    {"CivicElementPastEnd", 99, {2, 'D', 'E', 1, 5, 'B'}},
    {"CivicLoneType", 99, {2, 'D', 'E', 1}},
    {"GeoConfShort", 123, Bytes(15)},
    {"GeoConfLong", 123, Bytes(17)},
    {"GeoConfVersion2", 123, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x81}},
    {"GeoLocVersion0", 144, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01}},
    {"UriListEmpty", 143, {}},
    {"UriListEmptyUri", 143, {0, 0}},
    {"UriListLoneLengthByte", 143, {0}},
    {"UriListPastEnd", 143, {0, 5, 'h'}},
    {"RdnssShort", 146, {1, 10, 0, 0, 53, 10, 0, 0}},
    {"RdnssBadDomain", 146, {1, 10, 0, 0, 53, 10, 0, 0, 54, 5, 'a'}},
    {"PcpEmpty", 158, {}},
    {"PcpEmptyList", 158, {0}},
    {"PcpListNotAddresses", 158, {3, 10, 0, 0}},
    {"PcpListPastEnd", 158, {8, 10, 0, 0, 1}},
    {"PortOffsetAbove15", 159, {16, 6, 0, 0}},
    {"PortPsidLengthAbove16", 159, {0, 17, 0, 0}},
    {"PortShort", 159, {6, 6, 0}},
    {"DnrEmpty", 162, {}},
    {"DnrInstancePastEnd", 162, {0, 9, 0, 1}},
    {"DnrLoneLengthByte", 162, {0}},
    {"DnrAdnPastInstance", 162, {0, 3, 0, 1, 5}},
    {"DnrRootAdn", 162, {0, 4, 0, 1, 1, 0}},
    {"DnrAddressesNotWhole", 162, {0, 10, 0, 1, 3, 1, 'a', 0, 3, 10, 0, 0}},
    {"DnrNoAddresses", 162, {0, 7, 0, 1, 3, 1, 'a', 0, 0}},
    {"DnrAddressesPastInstance", 162, {0, 7, 0, 1, 3, 1, 'a', 0, 4, 10, 0, 0, 1}},
    {"PxelinuxWrongMagic", 208, {0xF1, 0x00, 0x74, 0x7F}},
    {"PxelinuxShort", 208, {0xF1, 0x00, 0x74}},
    {"SixRdNoRelay", 212, Bytes(18)},
    {"SixRdRelayCut", 212, Bytes(21)},
    {"SixRdMaskAbove32", 212, {33, 32, 0, 0, 0, 0, 0, 0,  0, 0, 0,
                               0,  0,  0, 0, 0, 0, 0, 10, 0, 0, 1}},
    {"SixRdPrefixAbove128", 212, {0, 129, 0, 0, 0, 0, 0, 0,  0, 0, 0,
                                  0, 0,   0, 0, 0, 0, 0, 10, 0, 0, 1}},
    {"VirtualSubnetEmpty", 221, {}},
    {"VirtualSubnetEmptyName", 221, {0}},
    {"VirtualSubnetVpnIdShort", 221, {1, 0, 0xA0, 0xC9, 0, 0, 1}},
    {"VirtualSubnetGlobalWithData", 221, {255, 0}},
    {"VirtualSubnetUnassignedType", 221, {7, 'a'}},
};
INSTANTIATE_TEST_SUITE_P(Extended, DecodeMalformed, testing::ValuesIn(kMalformed), MalformedName);

TEST(DecodeExtendedOption, NamesEveryCode)
{
    EXPECT_EQ(DecodeExtendedOption(121, nullptr, 0).m_name, "Classless Static Route");
    EXPECT_EQ(DecodeExtendedOption(252, nullptr, 0).m_name, "Web Proxy Auto-Discovery (WPAD)");
    EXPECT_EQ(DecodeExtendedOption(224, nullptr, 0).m_name, "Option 224");
    EXPECT_EQ(DecodeExtendedOption(0, nullptr, 0).m_name, "Option 0");
}

TEST(DecodeExtendedOption, ReadsNoByteBeyondTheLength)
{
    // The byte past the length would complete each value.
    const Bytes address{10, 0, 0, 1};
    EXPECT_TRUE(DecodeExtendedOption(1, address.data(), 3).m_bMalformed);
    const Bytes route{8, 10, 10, 0, 0, 1};
    EXPECT_TRUE(DecodeExtendedOption(121, route.data(), 5).m_bMalformed);
    const Bytes names{1, 'a', 0};
    EXPECT_TRUE(DecodeExtendedOption(119, names.data(), 2).m_bMalformed);
}

TEST(DecodeExtendedOption, LongestOptionsDecodeWhole)
{
    // 255 bytes: the most one option carries without RFC 3396 concatenation.
    const Bytes text(255, 'a');
    EXPECT_EQ(DecodeExtendedOption(15, text.data(), text.size()).m_strText, std::string(255, 'a'));
    const Bytes odd(255, 10);
    EXPECT_TRUE(DecodeExtendedOption(6, odd.data(), odd.size()).m_bMalformed);
    const Bytes list(252, 10);
    EXPECT_EQ(DecodeExtendedOption(6, list.data(), list.size()).m_value.size(), 63u);
}

TEST(DurationText, SpellsOutUnitsAndInfinity)
{
    const struct
    {
        std::uint32_t nSeconds;
        const char* pszText;
    } kCases[] = {
        {0, "0 s"},
        {59, "59 s"},
        {60, "60 s (1 min)"},
        {600, "600 s (10 min)"},
        {3600, "3600 s (1 h)"},
        {86400, "86400 s (1 d)"},
        {90061, "90061 s (1 d 1 h 1 min 1 s)"},
        {4294967294u, "4294967294 s (49710 d 6 h 28 min 14 s)"},
        {4294967295u, "4294967295 s (infinite)"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(DurationText(c.nSeconds), c.pszText) << c.nSeconds;
}

TEST(DecodeAllOptions, DecodesEveryOptionInCodeOrder)
{
    const OptionMap options{{51, {0, 0, 0x0E, 0x10}}, {1, {255, 0, 0, 0}}, {224, {}}};
    const std::vector<ExtendedOption> decoded = DecodeAllOptions(options);
    ASSERT_EQ(decoded.size(), 3u);
    EXPECT_EQ(decoded[0].m_strText, "255.0.0.0");
    EXPECT_EQ(decoded[1].m_strText, "3600 s (1 h)");
    EXPECT_EQ(decoded[2].m_nCode, 224);
    EXPECT_EQ(decoded[2].m_value, json(""));
    EXPECT_TRUE(DecodeAllOptions({}).empty());
}

TEST(ExtendedOptionJson, CarriesEveryFieldAndTheExactBytes)
{
    const OptionBytes bytes{0, 0, 0x02, 0x58};
    const json object =
        ExtendedOptionJson(DecodeExtendedOption(51, bytes.data(), bytes.size()), bytes);
    const json expected = {{"code", 51},
                           {"name", "IP Address Lease Time"},
                           {"value", 600},
                           {"text", "600 s (10 min)"},
                           {"hex", "00000258"}};
    EXPECT_EQ(object, expected);

    const OptionBytes cut{0, 0, 2};
    const json malformed =
        ExtendedOptionJson(DecodeExtendedOption(51, cut.data(), cut.size()), cut);
    EXPECT_EQ(malformed["malformed"], true);
    EXPECT_EQ(malformed["value"], "000002");
}

TEST(ExtendedOptionJson, MembersComeInTheDocumentedOrder)
{
    const OptionBytes fqdn{0x05, 0, 0, 4, 'h', 'o', 's', 't', 0};
    EXPECT_EQ(ExtendedOptionJson(DecodeExtendedOption(81, fqdn.data(), fqdn.size()), fqdn).dump(),
              R"({"code":81,"name":"Client Fully Qualified Domain Name",)"
              R"("value":{"flags":5,"rcode1":0,"rcode2":0,"name":"host"},)"
              R"("text":"host, flags 0x05 (S E), rcode1 0, rcode2 0","hex":"05000004686f737400"})");
    const OptionBytes cut{0, 0, 2};
    EXPECT_EQ(ExtendedOptionJson(DecodeExtendedOption(51, cut.data(), cut.size()), cut).dump(),
              R"({"code":51,"name":"IP Address Lease Time","value":"000002","text":"000002",)"
              R"("hex":"000002","malformed":true})");
}

TEST(ExtendedOptionJson, KeepsTheBytesOfTextsThatAreNotUtf8)
{
    // A lone continuation byte and a cut-short sequence: the writer decides
    // how they are shown.
    const OptionBytes bytes{'a', 0x80, 'b', 0xC3};
    const ExtendedOption option = DecodeExtendedOption(15, bytes.data(), bytes.size());
    const json object = ExtendedOptionJson(option, bytes);
    EXPECT_EQ(object["text"], "a\x80"
                              "b\xC3");
    EXPECT_EQ(object["value"], object["text"]);
    EXPECT_EQ(object["hex"], "618062c3");
}
} // namespace
