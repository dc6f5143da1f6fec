#include "tests/core/options/decode_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using Bytes = std::vector<std::uint8_t>;

TEST(DhcpOption, FreshRecordIsEmptyAndCopiesWhole)
{
    DhcpOption option;
    EXPECT_EQ(option.m_nCode, 0u);
    EXPECT_TRUE(option.m_strParameter.empty());
    EXPECT_TRUE(option.m_strData.empty());

    option = Decode(54, {10, 0, 0, 1});
    const DhcpOption copy(option);
    EXPECT_EQ(copy.m_nCode, 54u);
    EXPECT_EQ(copy.m_strParameter, "DHCP Server");
    EXPECT_EQ(copy.m_strData, "10.0.0.1");
}

TEST(Dispatch, CodesWithoutParameterTextLeaveBothTextsEmpty)
{
    for (const std::uint32_t nCode : {0u, 40u})
    {
        const DhcpOption option = Decode(nCode, {1, 2, 3, 4});
        EXPECT_EQ(option.m_nCode, nCode);
        EXPECT_EQ(option.m_strParameter, "");
        EXPECT_EQ(option.m_strData, "");
    }
}

TEST(Dispatch, EndOptionAndCodesBeyondTheCatalogue)
{
    EXPECT_EQ(Decode(255, {1, 2, 3, 4}).m_strParameter, "End Option");
    EXPECT_EQ(Decode(255, {1, 2, 3, 4}).m_strData, "");
    // Codes are never folded into eight bits: 256 + 54 is not "DHCP Server".
    for (const std::uint32_t nCode : {68u, 254u, 256u, 310u, 0xFFFFFFFFu})
    {
        const DhcpOption option = Decode(nCode, {10, 0, 0, 1});
        EXPECT_EQ(option.m_nCode, nCode);
        EXPECT_EQ(option.m_strParameter, "Unknown Option") << nCode;
        EXPECT_EQ(option.m_strData, "") << nCode;
    }
}

TEST(Dispatch, UnlabelledCodesInsideTheCatalogueAreUnknown)
{
    for (const std::uint32_t nCode : {5u, 19u, 20u, 21u, 45u, 62u, 63u, 64u, 65u})
    {
        const DhcpOption option = Decode(nCode, {1, 2, 3, 4});
        EXPECT_EQ(option.m_strParameter, "Unknown Option") << nCode;
        EXPECT_EQ(option.m_strData, "") << nCode;
    }
}

TEST(Dispatch, NameOnlyRowsIgnoreTheirData)
{
    for (const std::uint32_t nCode : {26u, 27u, 29u, 30u, 31u, 34u, 43u})
        EXPECT_EQ(Decode(nCode, {1, 2, 3, 4, 5}).m_strData, "") << nCode;
    EXPECT_EQ(Decode(26, {5, 220}).m_strParameter, "Option MTU");
    EXPECT_EQ(Decode(34, {1}).m_strParameter, "Trailers");
    EXPECT_EQ(Decode(43, {1, 2}).m_strParameter, "Vendor Spec Info");
}

TEST(Catalogue, LabelsOfEveryRequestedOption)
{
    const struct
    {
        std::uint32_t nCode;
        const char* pszParameter;
    } kLabels[] = {
        {1, "Subnet Mask"},
        {2, "Time Offset"},
        {3, "Gateway Address"},
        {4, "Time Server"},
        {6, "DNS Server"},
        {7, "Syslog Server"},
        {8, "Cookie Server"},
        {9, "Lpr Server"},
        {10, "Lmpress Server"},
        {11, "Rlp Server"},
        {12, "Host Name"},
        {13, "Boot File Size"},
        {14, "Merit Dump File"},
        {15, "Domain Name"},
        {16, "Swap Server"},
        {17, "Root Disk"},
        {18, "Extensions Path"},
        {22, "Reassembly Size"},
        {23, "Default IP TTL"},
        {24, "MTU Aging Timeout"},
        {25, "MTU Table"},
        {28, "Broadcast Address"},
        {29, "Perform Mask Discovery"},
        {30, "Perform Mask Supplier"},
        {31, "Perform Router Discovery"},
        {32, "Router Solicitation Address"},
        {33, "Routes"},
        {35, "Arp Cache Timeout"},
        {36, "Ethernet Encapsulation"},
        {37, "TCP TTL"},
        {38, "TCP Keep Alive Interval"},
        {39, "TCP Keep Data Size"},
        {41, "Network Info Server"},
        {42, "Network Time Server"},
        {44, "WINS"},
        {46, "NBT Node Type"},
        {47, "NBT Scope"},
        {48, "XWindows Font Server"},
        {49, "XWindows Display Manager"},
        {50, "Requested Address"},
        {51, "IP Lease Time"},
        {52, "Overlap"},
        {53, "Message Type"},
        {54, "DHCP Server"},
        {55, "Parameter Request List"},
        {56, "Message"},
        {57, "Message Length"},
        {58, "DHCP Renewal Time"},
        {59, "DHCP Rebind Time"},
        {60, "Class Info"},
        {61, "Client ID"},
        {66, "TFTP Server Name"},
        {67, "Boot File Name"},
    };
    for (const auto& label : kLabels)
        EXPECT_EQ(Decode(label.nCode, {0, 0, 0, 0}).m_strParameter, label.pszParameter)
            << label.nCode;
}

TEST(AddressRendering, FirstFourBytesOnly)
{
    EXPECT_EQ(Decode(1, {255, 255, 255, 0}).m_strData, "255.255.255.0");
    // Two gateways: only the first is shown.
    EXPECT_EQ(Decode(3, {192, 168, 1, 1, 192, 168, 1, 2}).m_strData, "192.168.1.1");
    // Routes: destination 10.1.0.0, router 10.0.0.254; the destination alone.
    EXPECT_EQ(Decode(33, {10, 1, 0, 0, 10, 0, 0, 254}).m_strData, "10.1.0.0");
    EXPECT_EQ(Decode(54, {0, 0, 0, 0}).m_strData, "0.0.0.0");
}

TEST(AddressRendering, ShortDataGivesEmptyText)
{
    for (std::size_t nLength = 1; nLength < 4; ++nLength)
        EXPECT_EQ(Decode(54, Bytes(nLength, 10)).m_strData, "") << nLength;
}

TEST(AddressListRendering, EachWholeAddressFollowedByOneBlank)
{
    EXPECT_EQ(Decode(6, {10, 0, 0, 1, 10, 0, 0, 2}).m_strData, "10.0.0.1 10.0.0.2 ");
    EXPECT_EQ(Decode(6, {10, 0, 0, 1}).m_strData, "10.0.0.1 ");
    // A trailing group of fewer than four bytes is not an address.
    EXPECT_EQ(Decode(6, {10, 0, 0, 1, 10, 0, 0}).m_strData, "10.0.0.1 ");
    EXPECT_EQ(Decode(6, {10, 0, 0}).m_strData, "");
}

TEST(NumberRendering, BigEndianUnsigned)
{
    EXPECT_EQ(Decode(22, {0x40}).m_strData, "64");
    EXPECT_EQ(Decode(22, {0x02, 0x40}).m_strData, "576");
    EXPECT_EQ(Decode(35, {0x00, 0x00, 0x00, 0x3C}).m_strData, "60");
    // Only the first four bytes count.
    EXPECT_EQ(Decode(13, {0x00, 0x00, 0x01, 0x00, 0xFF}).m_strData, "256");
    // Unsigned: all ones is 4294967295, not -1.
    EXPECT_EQ(Decode(24, {0xFF, 0xFF, 0xFF, 0xFF}).m_strData, "4294967295");
    EXPECT_EQ(Decode(23, {0x80, 0x00, 0x00, 0x00}).m_strData, "2147483648");
}

TEST(HoursRendering, SignedSecondsAsHours)
{
    EXPECT_EQ(Decode(2, {0xFF, 0xFF, 0xB9, 0xB0}).m_strData, "-5.00h");
    EXPECT_EQ(Decode(2, {0x00, 0x00, 0x0E, 0x10}).m_strData, "1.00h");
    EXPECT_EQ(Decode(2, {0x00, 0x00, 0x4D, 0x58}).m_strData, "5.50h");
    EXPECT_EQ(Decode(2, {0x80, 0x00, 0x00, 0x00}).m_strData, "-596523.24h");
    EXPECT_EQ(Decode(2, {0x00, 0x00, 0x0E}).m_strData, "");
}

TEST(NamedValueRendering, MessageTypeOverloadAndClientId)
{
    EXPECT_EQ(Decode(53, {5}).m_strData, "DHCPACK");
    EXPECT_EQ(Decode(53, {8}).m_strData, "DHCPINFORM");
    EXPECT_EQ(Decode(53, {9}).m_strData, "");
    EXPECT_EQ(Decode(53, {0}).m_strData, "");
    EXPECT_EQ(Decode(52, {3}).m_strData, "file+sname");
    EXPECT_EQ(Decode(52, {4}).m_strData, "");
    // Client ID: hardware type 1 and a MAC; only the type is shown.
    EXPECT_EQ(Decode(61, {0x01, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55}).m_strData, "ether");
    EXPECT_EQ(Decode(61, {0x18}).m_strData, "ieee1394");
    EXPECT_EQ(Decode(61, {0x02, 0x00, 0x11}).m_strData, "");
}

TEST(NameTables, LookupReadsUntilTheEndPair)
{
    EXPECT_EQ(Decode(61, {15}).m_strData, "frelay");
    EXPECT_EQ(Decode(61, {0}).m_strData, ""); // the end pair's zero names nothing
    EXPECT_EQ(Decode(52, {1}).m_strData, "file");
}

TEST(SmallRenderings, EncapsulationAndHexByte)
{
    EXPECT_EQ(Decode(36, {0x00}).m_strData, "Ethernet II");
    EXPECT_EQ(Decode(36, {0x01}).m_strData, "IEEE 802.3");
    EXPECT_EQ(Decode(36, {0x80}).m_strData, "IEEE 802.3");
    EXPECT_EQ(Decode(46, {0x0A}).m_strData, "0A");
    EXPECT_EQ(Decode(46, {0x08}).m_strData, "08");
    EXPECT_EQ(Decode(46, {0xFF, 0x01}).m_strData, "FF");
}

TEST(TextRendering, UpToTheFirstZeroByte)
{
    EXPECT_EQ(Decode(15, {0x61, 0x00, 0x62}).m_strData, "a");
    EXPECT_EQ(Decode(15, {0x61, 0x62, 0x63}).m_strData, "abc");
    EXPECT_EQ(Decode(12, {0x00, 0x61}).m_strData, "");
    // Bytes are taken as they are, without conversion.
    EXPECT_EQ(Decode(12, {0xE9, 0x09, 0x0D}).m_strData, "\xE9\t\r");
    // Parameter Request List: codes shown as characters all the same.
    EXPECT_EQ(Decode(55, {0x41, 0x42}).m_strData, "AB");
}

TEST(TextRendering, FormatDirectivesInDataAreShownLiterally)
{
    const std::string hostile = "%s%n%x%99999d";
    const DhcpOption option = Decode(12, Bytes(hostile.begin(), hostile.end()));
    EXPECT_EQ(option.m_strData, hostile);
}

TEST(TextRendering, LongTextKeepsTheFirst1023Characters)
{
    Bytes data(5000, 'x');
    data[1022] = 'y';
    data[1023] = 'z';
    const DhcpOption option = Decode(67, data);
    ASSERT_EQ(option.m_strData.size(), 1023u);
    EXPECT_EQ(option.m_strData.back(), 'y');
    EXPECT_EQ(Decode(67, Bytes(1023, 'x')).m_strData.size(), 1023u);
}

TEST(FormatAddress, NoLeadingZeros)
{
    const std::uint8_t address[] = {1, 20, 0, 255};
    EXPECT_EQ(FormatAddress(address), "1.20.0.255");
}
} // namespace
