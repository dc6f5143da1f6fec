#include "shell/data_exchange.h"

#include "shell/dialog.h"

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    const HWND hControl = m_pDlgWnd->GetDlgItem(nIDC);
    if (hControl == nullptr)
        m_bFailed = true;
    return hControl;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr)
        return;
    if (const HWND hControl = pDX->PrepareCtrl(nIDC))
        rControl.SubclassWindow(hControl);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    const HWND hCombo = pDX->PrepareCtrl(nIDC);
    if (hCombo == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(hCombo, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(hCombo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
