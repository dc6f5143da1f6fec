// The control wrappers on the main dialog template's real list view and combo box.
#include "app/win32/res/resource.h"
#include "shell/combo_box.h"
#include "shell/font.h"
#include "shell/list_ctrl.h"
#include "tests/shell/modeless_template.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
class ListCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_list.SubclassWindow(m_dialog.Item(IDC_RESULT_LIST)));
        ASSERT_TRUE(m_images.Create(IDB_RESULT_IMAGES, 16, 1, RGB(0, 128, 128)));
        m_list.SetExtendedStyle(0x123);
        m_list.SetImageList(&m_images, LVSIL_SMALL);
        ASSERT_EQ(m_list.InsertColumn(0, "DHCP Parameter", LVCFMT_LEFT, 200), 0);
        ASSERT_EQ(m_list.InsertColumn(1, "DHCP Data", LVCFMT_LEFT, 450), 1);
    }

    int AppendRow(const char* pszParameter, const char* pszData, int nImage)
    {
        const int nRow = m_list.InsertItem(m_list.GetItemCount(), pszParameter, nImage);
        m_list.SetItemText(nRow, 1, pszData);
        return nRow;
    }

    CModelessTemplate m_dialog{IDD_QUERY_DIALOG};
    CImageList m_images;
    CListCtrl m_list;
};

TEST_F(ListCtrlTest, ReportViewWithColumnsStylesAndImages)
{
    EXPECT_EQ(m_list.GetColumnCount(), 2);
    EXPECT_EQ(m_list.SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE), 0x123);
    EXPECT_EQ(m_list.SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL),
              reinterpret_cast<LRESULT>(m_images.GetSafeHandle()));
    LVCOLUMNA column{};
    char szHeading[32] = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = szHeading;
    column.cchTextMax = sizeof szHeading;
    ASSERT_TRUE(m_list.SendMessage(LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(szHeading, "DHCP Data");
    EXPECT_EQ(column.cx, 450);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
}

TEST_F(ListCtrlTest, RowsKeepTheirOrderTextsAndImages)
{
    AppendRow("DHCP Server", "10.0.0.1", 1);
    AppendRow("Subnet Mask", "255.255.255.0", 2);
    AppendRow("Router", "", 2);
    ASSERT_EQ(m_list.GetItemCount(), 3);
    EXPECT_EQ(m_list.GetItemText(0, 0), "DHCP Server");
    EXPECT_EQ(m_list.GetItemText(1, 1), "255.255.255.0");
    EXPECT_EQ(m_list.GetItemText(2, 1), "");
    LVITEMA item{};
    item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.stateMask = ~0u;
    item.iItem = 1;
    ASSERT_TRUE(m_list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.iImage, 2);
    EXPECT_EQ(item.lParam, 0);
    EXPECT_EQ(item.state, 0u);
    EXPECT_TRUE(m_list.DeleteAllItems());
    EXPECT_EQ(m_list.GetItemCount(), 0);
}

TEST_F(ListCtrlTest, CellTextComesBackWholeWhateverItsLength)
{
    for (const size_t nLength : {size_t{254}, size_t{255}, size_t{256}, size_t{5000}})
    {
        const CString strLong(nLength, 'x');
        const int nRow = AppendRow("long", strLong.c_str(), 2);
        EXPECT_EQ(m_list.GetItemText(nRow, 1), strLong) << nLength;
    }
}

TEST_F(ListCtrlTest, NextSelectedRow)
{
    AppendRow("a", "1", 2);
    AppendRow("b", "2", 2);
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), -1);
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    m_list.SendMessage(LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), 1);
}

TEST(ComboBox, EntriesStayInAddingOrderWithSelectionAndTexts)
{
    CModelessTemplate dialog(IDD_QUERY_DIALOG);
    CComboBox combo;
    ASSERT_TRUE(combo.SubclassWindow(dialog.Item(IDC_ADAPTER_COMBO)));
    EXPECT_EQ(combo.AddString("00:1A:2B:3C:4D:5E"), 0);
    EXPECT_EQ(combo.AddString("00:00:00:00:00:01"), 1);
    EXPECT_EQ(combo.AddString("00:1A:2B:3C:4D:5E"), 2);
    // Longer than any small fixed buffer; Wine's own ANSI translation of the
    // combo box's text stops at 511 characters.
    const CString strLong(500, 'y');
    combo.AddString(strLong.c_str());
    EXPECT_EQ(combo.GetCount(), 4);
    EXPECT_EQ(combo.GetCurSel(), -1);
    combo.SetCurSel(1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    CString strText;
    combo.GetLBText(1, strText);
    EXPECT_EQ(strText, "00:00:00:00:00:01");
    combo.GetLBText(3, strText);
    EXPECT_EQ(strText, strLong);
    combo.GetLBText(9, strText);
    EXPECT_EQ(strText, "");
    combo.SetCurSel(-1);
    EXPECT_EQ(combo.GetCurSel(), -1);
}

TEST(Font, ReplacingTheFontDeletesTheOldOne)
{
    LOGFONTA logFont{};
    logFont.lfHeight = -11;
    std::strcpy(logFont.lfFaceName, "MS Sans Serif");
    HFONT hFirst = nullptr;
    {
        CFont font;
        ASSERT_TRUE(font.CreateFontIndirect(&logFont));
        hFirst = font.GetSafeHandle();
        ASSERT_TRUE(font.CreateFontIndirect(&logFont));
        EXPECT_EQ(::GetObjectType(hFirst), 0u);
        hFirst = font.GetSafeHandle();
    }
    EXPECT_EQ(::GetObjectType(hFirst), 0u);
}
} // namespace
