#include "shell/dialog.h"

#include "shell/data_exchange.h"
#include "shell/shell_hooks.h"
#include "shell/win_app.h"

namespace
{
// Messages whose answer a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsDirectly(UINT nMessage)
{
    return (nMessage >= WM_CTLCOLORMSGBOX && nMessage <= WM_CTLCOLORSTATIC) ||
           nMessage == WM_COMPAREITEM || nMessage == WM_VKEYTOITEM || nMessage == WM_CHARTOITEM ||
           nMessage == WM_QUERYDRAGICON || nMessage == WM_INITDIALOG;
}
} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CDialog::DoModal()
{
    const HMODULE hModule = CShellHooks::Current().ResourceModule();
    const LPCSTR pszTemplate = MAKEINTRESOURCEA(m_nIDTemplate);
    if (::FindResourceA(hModule, pszTemplate, RT_DIALOG) == nullptr)
        return -1;

    HWND hOwner = nullptr;
    if (m_pParentWnd != nullptr)
        hOwner = m_pParentWnd->m_hWnd;
    else if (const CWinApp* pApp = AfxGetApp();
             pApp != nullptr && pApp->m_pMainWnd != this && pApp->m_pMainWnd != nullptr)
        hOwner = pApp->m_pMainWnd->m_hWnd;
    return ::DialogBoxParamA(hModule, pszTemplate, hOwner, &CDialog::DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_INITDIALOG)
        return reinterpret_cast<CDialog*>(lParam)->InitDialog(hWnd);

    auto* pDlg = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (pDlg == nullptr)
        return FALSE;
    if (pDlg->m_bPassToDefault)
    {
        pDlg->m_bPassToDefault = false;
        return FALSE;
    }
    LRESULT lResult = 0;
    const bool bHandled = pDlg->HandleMessage(nMessage, wParam, lParam, lResult);
    if (nMessage == WM_NCDESTROY)
        pDlg->OnFinalMessage();
    if (!bHandled)
        return FALSE;
    if (ReturnsDirectly(nMessage))
        return lResult;
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

// Attaches the window, runs OnInitDialog, and centres a dialog that its template
// and OnInitDialog left where the system put it.
BOOL CDialog::InitDialog(HWND hWnd)
{
    Attach(hWnd);
    RECT rcBefore;
    GetWindowRect(&rcBefore);
    const BOOL bSetFocus = OnInitDialog();
    RECT rcAfter;
    GetWindowRect(&rcAfter);
    const LONG_PTR style = ::GetWindowLongPtrA(hWnd, GWL_STYLE);
    if ((style & (WS_CHILD | WS_VISIBLE)) == 0 && rcAfter.left == rcBefore.left &&
        rcAfter.top == rcBefore.top)
        CenterWindow();
    return bSetFocus;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnHelpInfo(HELPINFO*)
{
    SendMessage(WM_COMMAND, ID_HELP);
    return TRUE;
}

// Commands the dialog's map leaves alone go on to the application object.
bool CDialog::OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (CWnd::OnWndMsg(nMessage, wParam, lParam, lResult))
        return true;
    if (nMessage != WM_COMMAND)
        return false;
    CWinApp* pApp = AfxGetApp();
    const UINT nCode = lParam != 0 ? HIWORD(wParam) : 0;
    if (pApp == nullptr || !pApp->OnCmdMsg(LOWORD(wParam), nCode))
        return false;
    lResult = 0;
    return true;
}

LRESULT CDialog::DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    m_bPassToDefault = true;
    const LRESULT lResult = ::DefDlgProcA(m_hWnd, nMessage, wParam, lParam);
    m_bPassToDefault = false;
    return lResult;
}
