#include "core/options/extended_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{
TEST(ExtendedCatalogue, RowsAreInCodeOrderAndFoundByCode)
{
    ASSERT_LT(ExtendedRowsBegin(), ExtendedRowsEnd());
    int nPrevious = -1;
    for (const ExtendedRow* pRow = ExtendedRowsBegin(); pRow != ExtendedRowsEnd(); ++pRow)
    {
        EXPECT_GT(int{pRow->nCode}, nPrevious);
        nPrevious = pRow->nCode;
        EXPECT_EQ(FindExtendedRow(pRow->nCode), pRow);
        ASSERT_NE(pRow->pszName, nullptr);
        EXPECT_FALSE(std::string(pRow->pszName).empty()) << int{pRow->nCode};
        // Value names belong to named values, and only there.
        EXPECT_EQ(pRow->pValueNames != nullptr, pRow->type == ValueType::NamedUInt8)
            << int{pRow->nCode};
    }
}

TEST(ExtendedCatalogue, NamesAreUnique)
{
    std::set<std::string> names;
    for (const ExtendedRow* pRow = ExtendedRowsBegin(); pRow != ExtendedRowsEnd(); ++pRow)
        EXPECT_TRUE(names.insert(pRow->pszName).second) << pRow->pszName;
}

TEST(ExtendedCatalogue, CodesWithoutRows)
{
    // Pad and end carry no data; the rest are unassigned or site-specific.
    for (const int nCode : {0, 84, 96, 102, 115, 126, 135, 149, 160, 175, 224, 248, 250, 254, 255})
        EXPECT_EQ(FindExtendedRow(static_cast<std::uint8_t>(nCode)), nullptr) << nCode;
}

TEST(ExtendedCatalogue, TypesOfCodesThatShareAFormat)
{
    const struct
    {
        std::uint8_t nCode;
        ValueType type;
    } kCases[] = {
        {121, ValueType::ClasslessRoutes},
        {249, ValueType::ClasslessRoutes},
        {119, ValueType::DomainList},
        {141, ValueType::DomainList},
        {51, ValueType::Seconds},
        {108, ValueType::Seconds},
        {24, ValueType::Seconds},
        {150, ValueType::Addresses},
        {118, ValueType::Address},
        {114, ValueType::Text},
        {252, ValueType::Text},
        {39, ValueType::Boolean},
        {2, ValueType::Int32},
        {123, ValueType::GeoConf},
        {144, ValueType::GeoLoc},
        {220, ValueType::Bytes}, // its layout is left to hex
    };
    for (const auto& c : kCases)
    {
        const ExtendedRow* pRow = FindExtendedRow(c.nCode);
        ASSERT_NE(pRow, nullptr) << int{c.nCode};
        EXPECT_EQ(pRow->type, c.type) << int{c.nCode};
    }
}

TEST(ExtendedCatalogue, NamesAreTheRfcTitles)
{
    const struct
    {
        std::uint8_t code;
        const char* name;
    } kCases[] = {
        {31, "Perform Router Discovery"},                         // RFC 2132 5.7
        {45, "NetBIOS over TCP/IP Datagram Distribution Server"}, // RFC 2132 8.6
    };
    for (const auto& c : kCases)
        EXPECT_STREQ(FindExtendedRow(c.code)->pszName, c.name) << int{c.code};
}

TEST(ExtendedCatalogue, LeavesTheWindowsCatalogueAlone)
{
    // The window keeps its own wording for the same codes.
    EXPECT_STREQ(FindExtendedRow(3)->pszName, "Router");
    EXPECT_STREQ(FindExtendedRow(3)->window.parameter, "Gateway Address");
}

TEST(FindValueName, LooksUpAndMissesCleanly)
{
    const ExtendedRow* pRow = FindExtendedRow(53);
    ASSERT_NE(pRow, nullptr);
    EXPECT_STREQ(FindValueName(pRow->pValueNames, 1), "DHCPDISCOVER");
    EXPECT_STREQ(FindValueName(pRow->pValueNames, 18), "DHCPTLS");
    EXPECT_EQ(FindValueName(pRow->pValueNames, 0), nullptr);
    EXPECT_EQ(FindValueName(pRow->pValueNames, 19), nullptr);
    EXPECT_EQ(FindValueName(nullptr, 1), nullptr);
}
} // namespace
