#include "core/wire/option_value.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using T = WireType;

std::optional<OptionBytes> Encode(T type, std::string_view value)
{
    return EncodeOptionValue(type, value);
}

TEST(AddressText, DottedDecimalOnly)
{
    EXPECT_EQ(ParseAddressText("10.99.0.146"), 0x0A630092u);
    EXPECT_EQ(ParseAddressText("0.0.0.0"), 0u);
    EXPECT_EQ(ParseAddressText("255.255.255.255"), 0xFFFFFFFFu);
    for (const char* pszBad :
         {"", "10.99.0", "10.99.0.1.2", "10.99.0.256", "10..0.1", "10.99.0.", ".10.99.0",
          "010.99.0.1", "10.99.0.1x", "-1.0.0.0", "1000.0.0.1", " 10.99.0.1", "0x0A.0.0.1"})
        EXPECT_FALSE(ParseAddressText(pszBad)) << pszBad;
}

TEST(AddressText, ListsTakeCommasOrBlanks)
{
    const OptionBytes two = {10, 0, 0, 1, 10, 0, 0, 2};
    for (const char* pszList :
         {"10.0.0.1,10.0.0.2", "10.0.0.1 10.0.0.2", "10.0.0.1, 10.0.0.2", " 10.0.0.1\t10.0.0.2 "})
        EXPECT_EQ(Encode(T::Addresses, pszList), two) << pszList;
    for (const char* pszBad :
         {"", "10.0.0.1,,10.0.0.2", "10.0.0.1,", ",10.0.0.1", "10.0.0.1;10.0.0.2", "10.0.0.1\"x\""})
        EXPECT_FALSE(Encode(T::Addresses, pszBad)) << pszBad;
    EXPECT_FALSE(Encode(T::Address, "10.0.0.1 10.0.0.2"));
    EXPECT_FALSE(Encode(T::AddressPairs, "10.0.0.1 10.0.0.2 10.0.0.3"));
}

TEST(NumberText, RangesOfEachWidth)
{
    EXPECT_EQ(Encode(T::UInt8, "255"), (OptionBytes{255}));
    EXPECT_FALSE(Encode(T::UInt8, "256"));
    EXPECT_EQ(Encode(T::UInt16, "65535"), (OptionBytes{255, 255}));
    EXPECT_FALSE(Encode(T::UInt16, "65536"));
    EXPECT_EQ(Encode(T::UInt32, "4294967295"), (OptionBytes{255, 255, 255, 255}));
    EXPECT_FALSE(Encode(T::UInt32, "4294967296"));
    EXPECT_FALSE(Encode(T::UInt32, "99999999999999999999999999999"));
    EXPECT_EQ(Encode(T::Int32, "-2147483648"), (OptionBytes{0x80, 0, 0, 0}));
    EXPECT_EQ(Encode(T::Int32, "2147483647"), (OptionBytes{0x7F, 255, 255, 255}));
    EXPECT_FALSE(Encode(T::Int32, "2147483648"));
    EXPECT_FALSE(Encode(T::Int32, "-2147483649"));
    for (const char* pszBad : {"", "-", "+5", "12a", "0x10", "1.5", "1 2"})
    {
        EXPECT_FALSE(Encode(T::UInt32, pszBad)) << pszBad;
        EXPECT_FALSE(Encode(T::Int32, pszBad)) << pszBad;
    }
    EXPECT_EQ(Encode(T::UInt16List, "1, 2"), (OptionBytes{0, 1, 0, 2}));
    EXPECT_FALSE(Encode(T::UInt8List, "1,256"));
}

TEST(BooleanText, TrueFalseOnOff)
{
    EXPECT_EQ(Encode(T::Boolean, "true"), (OptionBytes{1}));
    EXPECT_EQ(Encode(T::Boolean, "on"), (OptionBytes{1}));
    EXPECT_EQ(Encode(T::Boolean, "false"), (OptionBytes{0}));
    EXPECT_EQ(Encode(T::Boolean, "off"), (OptionBytes{0}));
    for (const char* pszBad : {"", "yes", "TRUE", "1", "true false"})
        EXPECT_FALSE(Encode(T::Boolean, pszBad)) << pszBad;
}

TEST(QuotedText, DhclientEscapes)
{
    EXPECT_EQ(Encode(T::Text, R"("a\"b\\c\101\t")"), TextBytes("a\"b\\cA\t"));
    // An escaped zero byte is part of the option.
    EXPECT_EQ(Encode(T::Text, R"("a\000b")"), (OptionBytes{'a', 0, 'b'}));
    EXPECT_EQ(Encode(T::Text, R"("\1x")"), (OptionBytes{1, 'x'}));
    EXPECT_EQ(Encode(T::Text, "lab.test"), TextBytes("lab.test")); // NetworkManager's bare form
    for (const char* pszBad :
         {"", "\"\"", "\"open", "\"a\"b\"", R"("a\q")", R"("a\")", R"("\777")"})
        EXPECT_FALSE(Encode(T::Text, pszBad)) << pszBad;
}

TEST(HexText, ColonGroupsPlainPairsOrQuotedText)
{
    EXPECT_EQ(Encode(T::Bytes, "1:4:de:ad:BE:ef"), (OptionBytes{1, 4, 0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(Encode(T::Bytes, "0104deadbeef"), (OptionBytes{1, 4, 0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(Encode(T::Bytes, "8"), (OptionBytes{8}));
    EXPECT_EQ(Encode(T::Bytes, "\"ab\""), TextBytes("ab"));
    for (const char* pszBad : {"", "abc", "1:", ":1", "1::2", "123:4", "zz", "0x12", "1:2 3:4"})
        EXPECT_FALSE(Encode(T::Bytes, pszBad)) << pszBad;
}

TEST(DomainListText, Rfc1035Names)
{
    const OptionBytes expected = {3,   'l', 'a', 'b', 4, 't', 'e', 's', 't', 0, 4,
                                  'c', 'o', 'r', 'p', 4, 't', 'e', 's', 't', 0};
    EXPECT_EQ(Encode(T::DomainList, "lab.test corp.test"), expected);
    EXPECT_EQ(Encode(T::DomainList, "\"lab.test.\", \"corp.test\""), expected);

    const std::string strLabel63(63, 'a');
    EXPECT_EQ(Encode(T::DomainList, strLabel63)->size(), 65u);
    EXPECT_FALSE(Encode(T::DomainList, strLabel63 + "a"));
    // 4 labels of 63 and one of 1: 4 * 64 + 2 + 1 = 259 encoded bytes, past 255.
    const std::string strLong = strLabel63 + "." + strLabel63 + "." + strLabel63 + "." + strLabel63;
    EXPECT_TRUE(Encode(T::DomainList, strLong.substr(0, 250)));
    EXPECT_FALSE(Encode(T::DomainList, strLong + ".b"));
    for (const char* pszBad : {"", ".", "a..b", ".a", "\"a\" \"..\""})
        EXPECT_FALSE(Encode(T::DomainList, pszBad)) << pszBad;
}

TEST(RouteText, ClasslessInEveryWrittenForm)
{
    const OptionBytes route = {24, 10, 99, 5, 10, 99, 0, 1};
    EXPECT_EQ(Encode(T::ClasslessRoutes, "24.10.99.5.10.99.0.1"), route);
    EXPECT_EQ(Encode(T::ClasslessRoutes, "24,10,99,5,10,99,0,1"), route);
    EXPECT_EQ(Encode(T::ClasslessRoutes, "10.99.5.0/24 10.99.0.1"), route);
    EXPECT_EQ(Encode(T::ClasslessRoutes, "10.99.5.0/24,10.99.0.1"), route);
    // A default route has no destination octets; a host route all four.
    EXPECT_EQ(Encode(T::ClasslessRoutes, "0.0.0.0/0,10.99.0.1 10.1.2.3/32,10.99.0.2"),
              (OptionBytes{0, 10, 99, 0, 1, 32, 10, 1, 2, 3, 10, 99, 0, 2}));
    EXPECT_EQ(Encode(T::ClasslessRoutes, "10.128.0.0/9 10.99.0.1"),
              (OptionBytes{9, 10, 128, 10, 99, 0, 1}));
    for (const char* pszBad : {"", "24.10.99.5.10.99.0", "33.1.2.3.4.5.1.2.3.4",
                               "24.10.99.256.1.2.3.4", "10.0.0.0/33 10.0.0.1", "10.0.0.0/8",
                               "10.0.0.0/8 10.0.0.1 10.0.0.2", "10.0.0.0 10.0.0.1", "24..10"})
        EXPECT_FALSE(Encode(T::ClasslessRoutes, pszBad)) << pszBad;
}

TEST(RouteText, ClassfulRoutesNeedTheClassPrefix)
{
    EXPECT_EQ(Encode(T::ClassfulRoutes, "10.0.0.0/8,10.99.0.1 172.16.0.0/16,10.99.0.2"),
              (OptionBytes{10, 0, 0, 0, 10, 99, 0, 1, 172, 16, 0, 0, 10, 99, 0, 2}));
    EXPECT_TRUE(Encode(T::ClassfulRoutes, "192.168.1.0/24,10.99.0.1"));
    EXPECT_FALSE(Encode(T::ClassfulRoutes, "10.99.5.0/24,10.99.0.1"));
    EXPECT_FALSE(Encode(T::ClassfulRoutes, "224.0.0.0/4,10.99.0.1"));
}

TEST(SipText, EncodingByteThenAddresses)
{
    EXPECT_EQ(Encode(T::SipServers, "10.0.0.1 10.0.0.2"),
              (OptionBytes{1, 10, 0, 0, 1, 10, 0, 0, 2}));
    EXPECT_FALSE(Encode(T::SipServers, "sip.lab.test"));
}

TEST(OptionSize, NoOptionLargerThanADhcpMessageCarries)
{
    const std::string strText(kMaxOptionBytes, 'x');
    EXPECT_EQ(Encode(T::Text, strText)->size(), kMaxOptionBytes);
    EXPECT_FALSE(Encode(T::Text, strText + "x"));
}

} // namespace
