#include "core/model/tsv_text.h"

#include <gtest/gtest.h>

namespace
{
struct CellCase
{
    const char* pszCell;
    const char* pszTsv;
};

const CellCase kCells[] = {
    {"", ""},
    {"10.0.0.1 10.0.0.2", "10.0.0.1 10.0.0.2"},
    {"a\tb", "a\\tb"},
    {"line1\nline2", "line1\\nline2"},
    {"\r\n", "\\r\\n"},
    {"C:\\boot\\pxe", "C:\\\\boot\\\\pxe"},
    {"\\t", "\\\\t"}, // a backslash before a letter stays apart from it
    // The rest as every peer text is shown (see tests/app/cli/peer_text_test.cpp).
    {"\x01\x1b[31m\x7f", "\\x01\\x1B[31m\\x7F"},
    {"caf\xc3\xa9 \xff", "caf\xc3\xa9 \\xFF"},
};

TEST(TsvText, EscapesTabNewlinesAndBackslashAndShowsTheRest)
{
    for (const CellCase& test : kCells)
        EXPECT_EQ(TsvCell(test.pszCell), test.pszTsv) << test.pszCell;
}

TEST(TsvText, RowIsCellsJoinedByTabEndedByLf)
{
    EXPECT_EQ(BuildTsvRow({"DHCP Server", "10.0.0.1"}), "DHCP Server\t10.0.0.1\n");
    EXPECT_EQ(BuildTsvRow({"Host Name", ""}), "Host Name\t\n");
    EXPECT_EQ(BuildTsvRow({"Message", "a\tb\nc"}), "Message\ta\\tb\\nc\n");
    EXPECT_EQ(BuildTsvRow({}), "\n");
}

TEST(TsvText, TextIsEveryRowWithoutHeader)
{
    EXPECT_EQ(BuildTsvText({}), "");
    const CString strText =
        BuildTsvText({{"DHCP Server", "10.0.0.1"}, {"Subnet Mask", "255.255.255.0"}});
    EXPECT_EQ(strText, "DHCP Server\t10.0.0.1\nSubnet Mask\t255.255.255.0\n");
    EXPECT_EQ(strText.find('\r'), CString::npos);
}
} // namespace
