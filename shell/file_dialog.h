// CFileDialog: the system's save-file dialog.
#pragma once

#include "platform/cstring.h"
#include "shell/wnd.h"

class CFileDialog
{
public:
    // pszFilter in the classic form "Name|pattern|Name|pattern||"; dwFlags are
    // OFN_xxx flags; the owner is pParentWnd, or no window.
    CFileDialog(DWORD dwFlags, const char* pszFilter, CWnd* pParentWnd = nullptr);

    // IDOK with a chosen file, IDCANCEL when the user cancels or the dialog fails.
    INT_PTR DoModal();
    // The chosen file's full path.
    CString GetPathName() const { return m_strPath; }
    // The part of the file name after its last dot; empty when the name has no dot
    // or ends with one. A dot in a folder name does not count.
    CString GetFileExt() const;

    // The filter as the system wants it: each '|' a zero byte.
    static CString SystemFilter(const char* pszFilter);

private:
    DWORD m_dwFlags;
    CString m_strFilter;
    CWnd* m_pParentWnd;
    CString m_strPath;
};
