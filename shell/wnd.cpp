#include "shell/wnd.h"

#include "shell/font.h"
#include "shell/win_app.h"

#include <algorithm>
#include <vector>

namespace
{
// The window property that maps a window to its object.
constexpr char kObjectProperty[] = "CWnd.Object";
} // namespace

CWnd* WndFromHandle(HWND hWnd)
{
    return CWnd::FromHandlePermanent(hWnd);
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd != nullptr ? static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kObjectProperty, this);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd != nullptr || hWnd == nullptr || FromHandlePermanent(hWnd) != nullptr)
        return FALSE;
    Attach(hWnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return TRUE;
}

HWND CWnd::Detach()
{
    const HWND hWnd = m_hWnd;
    if (m_pfnSuper != nullptr)
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::RemovePropA(hWnd, kObjectProperty);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::OnFinalMessage()
{
    Detach();
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this)
    {
        pApp->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProcA(hWnd, nMessage, wParam, lParam);
    LRESULT lResult = 0;
    if (!pWnd->HandleMessage(nMessage, wParam, lParam, lResult))
        lResult = pWnd->DefWindowProc(nMessage, wParam, lParam);
    if (nMessage == WM_NCDESTROY)
        pWnd->OnFinalMessage();
    return lResult;
}

bool CWnd::HandleMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    const CurrentMessage previous = m_current;
    m_current = {nMessage, wParam, lParam};
    const bool bHandled = OnWndMsg(nMessage, wParam, lParam, lResult);
    m_current = previous;
    return bHandled;
}

bool CWnd::OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (nMessage >= WM_CTLCOLORMSGBOX && nMessage <= WM_CTLCOLORSTATIC &&
        ReflectCtlColor(nMessage, wParam, lParam, lResult))
        return true;

    UINT nCode = 0;
    UINT nID = 0;
    if (nMessage == WM_COMMAND)
    {
        nID = LOWORD(wParam);
        // Menu items and accelerators come without a control and count as plain commands.
        nCode = lParam != 0 ? HIWORD(wParam) : 0;
    }
    else if (nMessage == WM_NOTIFY)
    {
        const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        nID = static_cast<UINT>(pHeader->idFrom);
        nCode = pHeader->code;
    }
    const CMessageMapEntry* pEntry = FindEntry(nMessage, nCode, nID);
    if (pEntry == nullptr)
        return false;
    lResult = pEntry->pfnThunk(*this, wParam, lParam);
    return true;
}

// A colour request about one of our controls goes to that control's map first.
// A null brush from it means "not handled", as for an unreflected request.
bool CWnd::ReflectCtlColor(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    CWnd* pControl = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (pControl == nullptr || pControl == this)
        return false;
    const CMessageMapEntry* pEntry = pControl->FindEntry(WM_REFLECT_CTLCOLOR, 0, 0);
    if (pEntry == nullptr)
        return false;
    const LRESULT lBrush =
        pEntry->pfnThunk(*pControl, wParam, static_cast<LPARAM>(nMessage - WM_CTLCOLORMSGBOX));
    if (lBrush == 0)
        return false;
    lResult = lBrush;
    return true;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.nMessage, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, nMessage, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
}

void CWnd::GetWindowText(CString& rString) const
{
    std::vector<char> text(static_cast<size_t>(::GetWindowTextLengthA(m_hWnd)) + 1);
    const int nLength = ::GetWindowTextA(m_hWnd, text.data(), static_cast<int>(text.size()));
    rString.assign(text.data(), static_cast<size_t>(nLength));
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), bRedraw);
}

void CWnd::CenterWindow()
{
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    const HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    const bool bOverOwner = hOwner != nullptr && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(bOverOwner ? hOwner : m_hWnd, MONITOR_DEFAULTTONEAREST),
                      &monitor);
    const RECT& rcArea = monitor.rcWork;
    RECT rcCentre = rcArea;
    if (bOverOwner)
        ::GetWindowRect(hOwner, &rcCentre);

    const LONG cx = rcWindow.right - rcWindow.left;
    const LONG cy = rcWindow.bottom - rcWindow.top;
    LONG x = (rcCentre.left + rcCentre.right) / 2 - cx / 2;
    LONG y = (rcCentre.top + rcCentre.bottom) / 2 - cy / 2;
    // Keep the whole window on the work area, its caption above all.
    x = std::max(rcArea.left, std::min(x, rcArea.right - cx));
    y = std::max(rcArea.top, std::min(y, rcArea.bottom - cy));
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
}

HCURSOR CWnd::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(Default());
}

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    return static_cast<BOOL>(Default());
}

LRESULT CWnd::OnNcHitTest(POINT)
{
    return Default();
}

void CWnd::OnLButtonDown(UINT, POINT)
{
    Default();
}
