#include "tests/shell/modal_driver.h"

#include <cstring>

namespace
{
CModalDriver* g_pDriver = nullptr;
constexpr UINT kTickMs = 10;
constexpr int kTicksAllowed = 1000; // ten seconds
} // namespace

CModalDriver::CModalDriver(std::vector<Step> steps)
    : m_steps(std::move(steps)), m_nTicksLeft(kTicksAllowed),
      m_nTimer(::SetTimer(nullptr, 0, kTickMs, &CModalDriver::OnTimer))
{
    g_pDriver = this;
}

CModalDriver::~CModalDriver()
{
    ::KillTimer(nullptr, m_nTimer);
    g_pDriver = nullptr;
}

void CALLBACK CModalDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    CModalDriver* pDriver = g_pDriver;
    if (pDriver == nullptr || pDriver->Finished())
        return;
    if (--pDriver->m_nTicksLeft < 0)
    {
        ::EnumThreadWindows(::GetCurrentThreadId(), &CModalDriver::EndDialogOf, 0);
        return;
    }
    // A step may open a nested modal loop, whose ticks run the steps after it:
    // count the step as done while it runs, and take that back if it must retry.
    const size_t nStep = pDriver->m_nNext;
    pDriver->m_nNext = nStep + 1;
    if (!pDriver->m_steps[nStep]() && pDriver->m_nNext == nStep + 1)
        pDriver->m_nNext = nStep;
}

BOOL CALLBACK CModalDriver::EndDialogOf(HWND hWnd, LPARAM)
{
    char szClass[16] = {};
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (std::strcmp(szClass, "#32770") == 0)
        ::EndDialog(hWnd, -2);
    return TRUE;
}

bool DialogIsUp(HWND hDlg)
{
    return hDlg != nullptr && ::IsWindowVisible(hDlg);
}

void PostKey(HWND hDlg, WPARAM nKey)
{
    const HWND hFocus = ::GetFocus();
    const HWND hTarget = hFocus != nullptr && ::IsChild(hDlg, hFocus) ? hFocus : hDlg;
    ::PostMessageA(hTarget, WM_KEYDOWN, nKey, 1);
    ::PostMessageA(hTarget, WM_KEYUP, nKey, static_cast<LPARAM>(0xC0000001u));
}
