// A dialog template made into a window without a dialog class of ours, so that
// the template and single framework pieces can be tested on real controls.
#pragma once

#include "platform/platform_types.h"

class CModelessTemplate
{
public:
    explicit CModelessTemplate(UINT nID);
    ~CModelessTemplate();
    CModelessTemplate(const CModelessTemplate&) = delete;
    CModelessTemplate& operator=(const CModelessTemplate&) = delete;

    HWND Item(int nID) const { return ::GetDlgItem(m_hDlg, nID); }

    HWND m_hDlg;

private:
    static INT_PTR CALLBACK PlainDialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
};
