#include "core/options/option_catalogue.h"

#include <gtest/gtest.h>

namespace
{
using W = WireType;

TEST(OptionWireType, TheWireLayoutWhateverTheWindowShows)
{
    const struct
    {
        std::uint32_t nCode;
        WireType type;
    } kCases[] = {
        {1, W::Address},
        {2, W::Int32},
        {3, W::Addresses},
        {13, W::UInt16},
        {19, W::Boolean},
        {21, W::AddressPairs},
        {33, W::AddressPairs}, // the window shows the first destination
        {46, W::UInt8},
        {49, W::Addresses}, // the window shows it as text
        {55, W::UInt8List},
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
        EXPECT_EQ(OptionWireType(c.nCode), c.type) << c.nCode;
}

TEST(OptionWireType, RowsForTheLeaseTextsOnlyShowAsUnknown)
{
    for (const std::uint32_t nCode : {68u, 77u, 100u, 101u, 119u, 120u, 121u, 249u, 252u})
    {
        const CatalogueRow* pRow = FindCatalogueRow(nCode);
        ASSERT_NE(pRow, nullptr) << nCode;
        EXPECT_STREQ(pRow->pszParameter, kUnknownOption) << nCode;
        EXPECT_EQ(pRow->rendering, Rendering::NameOnly) << nCode;
    }
}
} // namespace
