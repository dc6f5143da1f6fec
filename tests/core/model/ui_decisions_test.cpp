#include "core/model/adapter_choice.h"
#include "core/model/icon_position.h"
#include "core/model/result_rows.h"
#include "core/model/save_name.h"
#include "core/model/screen_point.h"
#include "testing/adapter_builder.h"

#include <gtest/gtest.h>

namespace
{
TEST(AdapterChoice, ExactTextPicksTheFirstMatchingAdapter)
{
    AdapterList adapters;
    adapters.push_back(AdapterWith("{A}", "00:0C:29:AB:CD:EF"));
    adapters.push_back(AdapterWith("{B}", "00:50:56:C0:00:08"));
    adapters.push_back(AdapterWith("{C}", "00:0C:29:AB:CD:EF")); // same text as the first
    EXPECT_EQ(AdapterNameFor(adapters, "00:50:56:C0:00:08"), "{B}");
    EXPECT_EQ(AdapterNameFor(adapters, "00:0C:29:AB:CD:EF"), "{A}");
    // Exact and case-sensitive: lower-case letters mean no adapter.
    EXPECT_EQ(AdapterNameFor(adapters, "00:0c:29:ab:cd:ef"), "");
    EXPECT_EQ(AdapterNameFor(adapters, ""), "");
    EXPECT_EQ(AdapterNameFor(AdapterList(), "00:0C:29:AB:CD:EF"), "");
}

TEST(AdapterChoice, MatchingAdapterWithEmptyNameGivesEmptyName)
{
    AdapterList adapters;
    adapters.push_back(AdapterWith("", "02:00:00:00:00:01"));
    adapters.push_back(AdapterWith("{later}", "02:00:00:00:00:01"));
    EXPECT_EQ(AdapterNameFor(adapters, "02:00:00:00:00:01"), "");
}

TEST(ResultRows, ServerRowGetsTheRedImageOthersTheBlue)
{
    // The server identifier's code marks the row, not its text; no code is
    // folded into eight bits.
    DhcpOptionList options(4);
    auto it = options.begin();
    it->m_nCode = 54;
    it->m_strParameter = "DHCP Server";
    it->m_strData = "10.0.0.1";
    (++it)->m_nCode = 256 + 54;
    it->m_strParameter = "DHCP Server";
    (++it)->m_nCode = 0;
    it->m_strParameter = "DHCP Server";
    (++it)->m_nCode = 1;
    it->m_strParameter = "Subnet Mask";
    it->m_strData = "255.0.0.0";

    const std::vector<ResultRow> rows = BuildResultRows(options);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].nImage, kImageServer);
    EXPECT_EQ(rows[0].strData, "10.0.0.1");
    EXPECT_EQ(rows[1].nImage, kImageOption);
    EXPECT_EQ(rows[2].nImage, kImageOption);
    EXPECT_EQ(rows[3].nImage, kImageOption);
    EXPECT_EQ(rows[3].strParameter, "Subnet Mask");
    EXPECT_EQ(kImageServer, 1);
    EXPECT_EQ(kImageOption, 2);
    EXPECT_TRUE(BuildResultRows(DhcpOptionList()).empty());
}

TEST(SaveName, TxtIsAppendedOnlyWithoutAnExtension)
{
    EXPECT_EQ(SavePathFor("C:\\reports\\report"), "C:\\reports\\report.txt");
    EXPECT_EQ(SavePathFor("C:\\reports\\report.csv"), "C:\\reports\\report.csv");
    EXPECT_EQ(SavePathFor("C:\\reports\\report."), "C:\\reports\\report..txt");
    EXPECT_EQ(SavePathFor("C:\\reports\\report.txt"), "C:\\reports\\report.txt");
    // A dot in a folder name is no extension of the file's name.
    EXPECT_EQ(SavePathFor("C:\\v1.2\\report"), "C:\\v1.2\\report.txt");
    EXPECT_EQ(SavePathFor("/home/a.b/report"), "/home/a.b/report.txt");
    EXPECT_EQ(SavePathFor("C:report"), "C:report.txt");
    EXPECT_EQ(FileExtension("C:\\a\\.profile"), "profile");
    EXPECT_EQ(FileExtension("archive.tar.gz"), "gz");
}

TEST(IconPosition, CentredWithTruncatingDivision)
{
    EXPECT_EQ(CentredIconOffset(37, 32), 3);
    EXPECT_EQ(CentredIconOffset(36, 32), 2);
    EXPECT_EQ(CentredIconOffset(32, 32), 0);
    // Narrower than the icon: truncation toward zero, not floor.
    EXPECT_EQ(CentredIconOffset(30, 32), 0);
    EXPECT_EQ(CentredIconOffset(28, 32), -1);
}

TEST(ScreenPoint, BothHalvesOfTheMessagePositionAreSigned)
{
    const ScreenPoint onPrimary = ScreenPointFromMessagePos(0x01900320u);
    EXPECT_EQ(onPrimary.x, 800);
    EXPECT_EQ(onPrimary.y, 400);
    // A screen left of and above the primary one: x = -20, y = -10.
    const ScreenPoint offPrimary = ScreenPointFromMessagePos(0xFFF6FFECu);
    EXPECT_EQ(offPrimary.x, -20);
    EXPECT_EQ(offPrimary.y, -10);
    const ScreenPoint extremes = ScreenPointFromMessagePos(0x80007FFFu);
    EXPECT_EQ(extremes.x, 32767);
    EXPECT_EQ(extremes.y, -32768);
}
} // namespace
