// CShellHooks: the program's ways out to the desktop (message boxes, the save
// dialog, opening web addresses, the clipboard's two steps that can fail for
// want of memory) and the module its resources come from, in one place. The framework reaches them
// only through Current(); a test installs an object of its own to answer them without a human.
#pragma once

#include "platform/platform_types.h"

#include <commdlg.h>

class CShellHooks
{
public:
    CShellHooks() = default;
    virtual ~CShellHooks() = default;
    CShellHooks(const CShellHooks&) = delete;
    CShellHooks& operator=(const CShellHooks&) = delete;

    // MessageBoxA.
    virtual int ShowMessageBox(HWND hWndOwner, const char* pszText, const char* pszCaption,
                               UINT nType);
    // GetSaveFileNameA.
    virtual BOOL RunSaveDialog(OPENFILENAMEA& ofn);
    // ShellExecuteA with the verb "open"; its result means nothing to the program.
    virtual void OpenAddress(const char* pszUrl);
    // GlobalAlloc.
    virtual HGLOBAL AllocateGlobal(UINT nFlags, SIZE_T nBytes);
    // SetClipboardData; on success the block is the clipboard's.
    virtual HANDLE SetClipboardBlock(UINT nFormat, HANDLE hData);
    // The executable's own module.
    virtual HMODULE ResourceModule();

    static CShellHooks& Current();
    // Makes pHooks current (null: the real calls) and returns the one it replaces.
    static CShellHooks* Install(CShellHooks* pHooks);
};
