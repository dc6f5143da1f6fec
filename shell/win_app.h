// CWinApp: the application object. The program defines exactly one, as a static
// object of a derived class; the entry point (win_main.cpp) starts it.
#pragma once

#include "shell/wnd.h"

// The framework's help command (F1 in a dialog, or a Help menu item).
constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget
{
public:
    // Registers this object as the application.
    CWinApp();
    ~CWinApp() override;

    // Called once by the entry point. FALSE ends the program without a message loop.
    virtual BOOL InitInstance();
    // The message loop, until WM_QUIT; returns ExitInstance's value.
    virtual int Run();
    // The last work before the program ends; its value is the process's exit code:
    // the code of the WM_QUIT that ended Run, 0 when no loop ran.
    virtual int ExitInstance();

    // The window whose destruction ends the program: when it gets WM_NCDESTROY,
    // this is cleared and a quit request with code 0 is posted.
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

protected:
    // The standard help handler, for a derived map's ON_COMMAND(ID_HELP, OnHelp).
    // No help content ships with the program, so there is nothing to show.
    void OnHelp() {}

private:
    int m_nExitCode = 0;
};

// The application object, or null when there is none.
CWinApp* AfxGetApp();

// Registers the common-control window classes the dialogs use.
void InitCommonControlClasses();

// The entry point's work: starts the application object and returns the
// process's exit code (-1 when there is no application object).
int AfxWinMain(HINSTANCE hInstance);
