// CListCtrl: a list view of a dialog, used in report view.
#pragma once

#include "shell/image_list.h"
#include "shell/wnd.h"

class CListCtrl : public CWnd
{
public:
    // Replaces every extended style by dwStyle; returns the previous ones.
    DWORD SetExtendedStyle(DWORD dwStyle)
    {
        return static_cast<DWORD>(
            SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(dwStyle)));
    }
    // nImageList: LVSIL_SMALL, LVSIL_NORMAL or LVSIL_STATE. Returns the previous list.
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageList)
    {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(nImageList),
                        reinterpret_cast<LPARAM>(pImageList->GetSafeHandle())));
    }
    // The new column's index, -1 on failure.
    int InsertColumn(int nCol, const char* pszHeading, int nFormat, int nWidth);
    // A row with text and image, no state and no item data: its index, -1 on failure.
    int InsertItem(int nItem, const char* pszItem, int nImage);
    BOOL SetItemText(int nItem, int nSubItem, const char* pszText);
    // The cell's whole text, whatever its length.
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    // The next row after nItem (-1: from the start) with the LVNI_xxx flags, or -1.
    int GetNextItem(int nItem, int nFlags) const
    {
        return static_cast<int>(
            SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0)));
    }
    // The number of columns, from the header control.
    int GetColumnCount() const;
};
