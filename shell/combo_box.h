// CComboBox: a combo box of a dialog.
#pragma once

#include "shell/wnd.h"

class CComboBox : public CWnd
{
public:
    // Index of the new entry: the end of an unsorted list.
    int AddString(const char* pszString)
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszString)));
    }
    // -1 clears the selection.
    int SetCurSel(int nSelect)
    {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
    }
    // The selected index, -1 for none.
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    // The entry's whole text; empty for an index without an entry.
    void GetLBText(int nIndex, CString& rString) const;
};
