#include "tests/shell/readback.h"

#include "app/win32/res/resource.h"

#include <gtest/gtest.h>

#include <cstring>

CString ClipboardBytes()
{
    CString strBytes = "(empty)";
    if (!::OpenClipboard(nullptr))
        return "(clipboard busy)";
    if (const HANDLE hData = ::GetClipboardData(CF_TEXT))
    {
        const auto* pText = static_cast<const char*>(::GlobalLock(hData));
        strBytes.assign(pText, std::strlen(pText) + 1);
        ::GlobalUnlock(hData);
    }
    ::CloseClipboard();
    return strBytes;
}

void ExpectPopupMenuItems(HMENU hPopup)
{
    const struct
    {
        UINT nID;
        const char* pszText;
    } expected[] = {{ID_POPUP_SAVEAS, "Save As..."},
                    {ID_POPUP_COPYROW, "Copy Row..."},
                    {ID_POPUP_COPYALL, "Copy All..."},
                    {0, ""},
                    {IDCANCEL, "Close"}};
    ASSERT_EQ(::GetMenuItemCount(hPopup), 5);
    for (int n = 0; n < 5; ++n)
    {
        char szText[64] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        item.dwTypeData = szText;
        item.cch = sizeof szText;
        ASSERT_TRUE(::GetMenuItemInfoA(hPopup, static_cast<UINT>(n), TRUE, &item));
        EXPECT_EQ(item.wID, expected[n].nID) << n;
        EXPECT_STREQ(szText, expected[n].pszText) << n;
        EXPECT_EQ((item.fType & MFT_SEPARATOR) != 0, n == 3) << n;
        if (n != 3)
        {
            EXPECT_EQ(item.fState & (MFS_DISABLED | MFS_CHECKED | MFS_HILITE), 0u) << n;
        }
    }
}
