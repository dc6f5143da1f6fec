#include "shell/file_dialog.h"

#include "shell/shell_hooks.h"

#include <algorithm>
#include <vector>

CFileDialog::CFileDialog(DWORD dwFlags, const char* pszFilter, CWnd* pParentWnd)
    : m_dwFlags(dwFlags), m_strFilter(SystemFilter(pszFilter)), m_pParentWnd(pParentWnd)
{
}

CString CFileDialog::SystemFilter(const char* pszFilter)
{
    CString strFilter = pszFilter;
    std::replace(strFilter.begin(), strFilter.end(), '|', '\0');
    return strFilter;
}

INT_PTR CFileDialog::DoModal()
{
    // Room for a long path; the dialog reports a longer one as an error.
    std::vector<char> path(32768, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    ofn.lpstrFilter = m_strFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.Flags = m_dwFlags;
    if (!CShellHooks::Current().RunSaveDialog(ofn))
        return IDCANCEL;
    m_strPath = path.data();
    return IDOK;
}

CString CFileDialog::GetFileExt() const
{
    const size_t nNameStart = m_strPath.find_last_of("\\/:");
    const size_t nDot = m_strPath.rfind('.');
    if (nDot == CString::npos || (nNameStart != CString::npos && nDot < nNameStart))
        return CString();
    return m_strPath.substr(nDot + 1);
}
