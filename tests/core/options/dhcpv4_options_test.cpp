#include "core/options/dhcpv4_options.h"

#include <gtest/gtest.h>

namespace
{
using W = WireType;

TEST(OptionWireType, TheWireLayoutWhateverTheWindowShows)
{
    const struct
    {
        std::uint32_t code;
        WireType type;
    } kCases[] = {
        {1, W::Address},
        {2, W::Int32},
        {3, W::Addresses},
        {13, W::UInt16},
        {19, W::Boolean},
        {21, W::AddressPairs},
        {24, W::UInt32},       // seconds
        {33, W::AddressPairs}, // the window shows the first destination
        {46, W::UInt8},        // a named value
        {49, W::Addresses},    // the window shows it as text
        {55, W::UInt8List},
        {60, W::Bytes}, // a text, which clients write as bytes
        {61, W::Bytes},
        {119, W::DomainList},
        {120, W::SipServers},
        {121, W::ClasslessRoutes},
        {249, W::ClasslessRoutes},
        {0, W::Bytes},
        {200, W::Bytes}, // no row
        {255, W::Bytes},
        {256, W::Bytes},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(OptionWireType(c.code), c.type) << c.code;
}

TEST(Dhcpv4Options, RowsForTheLeaseTextsOnlyShowAsUnknown)
{
    for (const std::uint32_t code : {5u, 68u, 77u, 100u, 101u, 119u, 120u, 121u, 249u, 252u})
    {
        const Dhcpv4Row* row = kDhcpv4Options.Find(code);
        ASSERT_NE(row, nullptr) << code;
        EXPECT_EQ(row->window.parameter, nullptr) << code;
        EXPECT_EQ(row->window.rendering, Rendering::NameOnly) << code;
    }
}

TEST(Dhcpv4Options, FindsEachRowByItsCodeAndNoCodeFoldedIntoEightBits)
{
    for (const Dhcpv4Row& row : kDhcpv4Options)
        EXPECT_EQ(kDhcpv4Options.Find(row.nCode), &row) << int{row.nCode};
    for (const std::uint32_t code : {84u, 149u, 254u, 256u, 256u + 54u, 0xFFFFFFFFu})
        EXPECT_EQ(kDhcpv4Options.Find(code), nullptr) << code;
}

TEST(Dhcpv4Options, TheWindowAsksInItsOwnOrder)
{
    // The Windows program asks the DHCP client service in this order, and its
    // rows come out in it.
    const std::array<std::uint8_t, 46> order = {
        54, 12, 1,  15, 6,  3,  4,  2,  7,  8,  9,  10, 11, 14, 16, 17, 18, 22, 23, 24, 25, 28, 33,
        35, 36, 37, 38, 39, 41, 42, 43, 44, 46, 47, 48, 49, 50, 51, 52, 55, 58, 59, 60, 61, 66, 67};
    EXPECT_EQ(kRequestedOptions, order);
}

TEST(OptionTable, SixteenBitCodesAreFoundWhole)
{
    using Row = OptionRow<std::uint16_t>;
    static constexpr Row rows[] = {{1, "Client Identifier"}, {23, "DNS Servers"}, {300, "Wide"}};
    constexpr OptionTable<std::uint16_t> table(rows);
    static_assert(table.Find(23) == &rows[1], "found at compile time");
    EXPECT_EQ(table.Find(300), &rows[2]);
    EXPECT_EQ(table.Find(300 + 0x10000), nullptr);
    EXPECT_EQ(table.Find(0), nullptr);
    EXPECT_EQ(table.Find(301), nullptr);
    EXPECT_EQ(table.size(), 3u);
}
} // namespace
