#include "app/win32/query_app.h"

#include "app/win32/query_dlg.h"

BEGIN_MESSAGE_MAP(CQueryApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

// Embedded controls and a three-dimensional look need no switching on here:
// no dialog hosts an embedded control, and the manifest's common controls draw
// the look.
BOOL CQueryApp::InitInstance()
{
    CQueryDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // A dialog whose window never came up has left itself here; it is about
    // to go.
    if (m_pMainWnd == &dlg)
        m_pMainWnd = nullptr;
    return FALSE;
}
