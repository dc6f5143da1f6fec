// Dialog data exchange: binds controls to member objects and moves values
// between controls and members (CDialog::UpdateData, DoDataExchange).
#pragma once

#include "platform/platform_types.h"

class CDialog;
class CWnd;

class CDataExchange
{
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }

    // The control's window; a missing control fails the exchange.
    HWND PrepareCtrl(int nIDC);

    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CDialog* m_pDlgWnd;
    bool m_bFailed = false;
};

// Subclasses control nIDC to rControl on the first exchange; later exchanges leave
// an attached object as it is.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The selected index of combo box nIDC, -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
