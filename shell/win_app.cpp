#include "shell/win_app.h"

#include <commctrl.h>

namespace
{
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&classes);
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    pApp->m_hInstance = hInstance;
    InitCommonControlClasses();
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
