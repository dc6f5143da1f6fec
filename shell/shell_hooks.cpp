#include "shell/shell_hooks.h"

#include <shellapi.h>

namespace
{
CShellHooks g_systemHooks;
CShellHooks* g_pCurrentHooks = &g_systemHooks;
} // namespace

int CShellHooks::ShowMessageBox(HWND hWndOwner, const char* pszText, const char* pszCaption,
                                UINT nType)
{
    return ::MessageBoxA(hWndOwner, pszText, pszCaption, nType);
}

BOOL CShellHooks::RunSaveDialog(OPENFILENAMEA& ofn)
{
    return ::GetSaveFileNameA(&ofn);
}

void CShellHooks::OpenAddress(const char* pszUrl)
{
    ::ShellExecuteA(nullptr, "open", pszUrl, nullptr, nullptr, SW_SHOWNORMAL);
}

HGLOBAL CShellHooks::AllocateGlobal(UINT nFlags, SIZE_T nBytes)
{
    return ::GlobalAlloc(nFlags, nBytes);
}

HANDLE CShellHooks::SetClipboardBlock(UINT nFormat, HANDLE hData)
{
    return ::SetClipboardData(nFormat, hData);
}

HMODULE CShellHooks::ResourceModule()
{
    return ::GetModuleHandleA(nullptr);
}

CShellHooks& CShellHooks::Current()
{
    return *g_pCurrentHooks;
}

CShellHooks* CShellHooks::Install(CShellHooks* pHooks)
{
    CShellHooks* pPrevious = g_pCurrentHooks;
    g_pCurrentHooks = pHooks != nullptr ? pHooks : &g_systemHooks;
    return pPrevious;
}
