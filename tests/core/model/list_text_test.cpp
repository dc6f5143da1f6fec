#include "core/model/list_text.h"

#include <gtest/gtest.h>

namespace
{
const CellTable kTwoRows = {{"DHCP Server", "10.0.0.1"}, {"Subnet Mask", "255.255.255.0"}};

TEST(RowText, CellsJoinedByOneTabAndNothingAfter)
{
    const CString strText = BuildRowText(kTwoRows[0]);
    EXPECT_EQ(strText, "DHCP Server\t10.0.0.1");
    EXPECT_EQ(strText.size(), 20u);
    EXPECT_EQ(BuildRowText({"Host Name", ""}), "Host Name\t");
    EXPECT_EQ(BuildRowText({}), "");
}

TEST(ListText, EveryCellFollowedByTabEveryRowEndedByCrAlone)
{
    const CString strText = BuildListText(kTwoRows);
    EXPECT_EQ(strText, "DHCP Server\t10.0.0.1\t\rSubnet Mask\t255.255.255.0\t\r");
    EXPECT_EQ(strText.size(), 49u);
    EXPECT_EQ(strText.find('\n'), CString::npos);
}

TEST(ListText, EmptyListAndEmptyDataCells)
{
    EXPECT_EQ(BuildListText({}), "");
    EXPECT_EQ(BuildListText({{"Host Name", ""}}), "Host Name\t\t\r");
}

TEST(ListText, CellTextsGoInUnchanged)
{
    // A TAB, CR or LF inside a cell is neither escaped nor quoted.
    const CellTable table = {{"Class Info", "a\tb"}, {"Message", "line1\nline2\r"}};
    EXPECT_EQ(BuildListText(table), "Class Info\ta\tb\t\rMessage\tline1\nline2\r\t\r");
    EXPECT_EQ(BuildRowText(table[0]), "Class Info\ta\tb");
}
} // namespace
