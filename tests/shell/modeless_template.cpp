#include "tests/shell/modeless_template.h"

#include "shell/win_app.h"

CModelessTemplate::CModelessTemplate(UINT nID)
{
    InitCommonControlClasses();
    m_hDlg = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nID), nullptr,
                                  &CModelessTemplate::PlainDialogProc, 0);
    // Shown, so that hit tests find its controls; not activated.
    ::ShowWindow(m_hDlg, SW_SHOWNOACTIVATE);
}

CModelessTemplate::~CModelessTemplate()
{
    if (::IsWindow(m_hDlg))
        ::DestroyWindow(m_hDlg);
}

INT_PTR CALLBACK CModelessTemplate::PlainDialogProc(HWND, UINT nMessage, WPARAM, LPARAM)
{
    return nMessage == WM_INITDIALOG;
}
