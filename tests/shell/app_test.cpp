// The application object, the entry point's work and the message box.
#include "app/win32/about_dlg.h"
#include "app/win32/res/resource.h"
#include "shell/app_name.h"
#include "shell/message_box.h"
#include "shell/win_app.h"
#include "testing/fake_shell_hooks.h"
#include "tests/shell/modal_driver.h"

#include <gtest/gtest.h>

namespace
{
TEST(AppName, IsTheFileNameWithoutFoldersAndExtension)
{
    EXPECT_EQ(AppNameFromPath("C:\\Program Files\\Veyra\\Veyra.exe"), "Veyra");
    EXPECT_EQ(AppNameFromPath("C:\\tools.d\\renamed copy.EXE"), "renamed copy");
    EXPECT_EQ(AppNameFromPath("D:/mixed\\dir/net.tool.exe"), "net.tool");
    EXPECT_EQ(AppNameFromPath("\\\\server\\share\\Veyra"), "Veyra");
    EXPECT_EQ(AppNameFromPath("C:Veyra.exe"), "Veyra");
    EXPECT_EQ(GetApplicationName(), "veyra_tests");
}

TEST(AfxMessageBox, ShowsTheTextWithOkExclamationAndTheAppName)
{
    CFakeShellHooks hooks;
    const HWND hActive = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                           50, nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(hActive);
    EXPECT_EQ(AfxMessageBox("No Interfaces Present"), IDOK);
    ::DestroyWindow(hActive);
    ASSERT_EQ(hooks.m_messageBoxes.size(), 1u);
    const CFakeShellHooks::MessageBoxCall& call = hooks.m_messageBoxes[0];
    EXPECT_EQ(call.strText, "No Interfaces Present");
    EXPECT_EQ(call.strCaption, "veyra_tests");
    EXPECT_EQ(call.nType, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(call.hWndOwner, hActive);
}

// The real message box, answered from its own modal loop.
TEST(AfxMessageBox, SystemBoxCarriesTheCaptionAndText)
{
    char szCaption[64] = {};
    char szText[64] = {};
    CModalDriver driver({[&]
                         {
                             const HWND hBox = ::FindWindowA("#32770", "veyra_tests");
                             if (!DialogIsUp(hBox))
                                 return false;
                             ::GetWindowTextA(hBox, szCaption, sizeof szCaption);
                             ::GetDlgItemTextA(hBox, 0xFFFF, szText, sizeof szText);
                             ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                             return true;
                         }});
    EXPECT_EQ(AfxMessageBox("Something went wrong"), IDOK);
    EXPECT_TRUE(driver.Finished());
    EXPECT_STREQ(szCaption, "veyra_tests");
    EXPECT_STREQ(szText, "Something went wrong");
}

// An application in the manner of Veyra's: its main window is a modal dialog run
// inside InitInstance, which then answers FALSE.
class CDialogApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        ++m_nInitCalls;
        CAboutDlg dlg;
        m_pMainWnd = &dlg;
        CModalDriver driver({[&]
                             {
                                 if (!DialogIsUp(dlg.m_hWnd))
                                     return false;
                                 PostKey(dlg.m_hWnd, VK_ESCAPE);
                                 return true;
                             }});
        m_nModalResult = dlg.DoModal();
        m_bMainWndCleared = m_pMainWnd == nullptr;
        // A loop of the framework's would take this message; without one it stays queued.
        ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);
        return FALSE;
    }
    int ExitInstance() override
    {
        ++m_nExitCalls;
        return CWinApp::ExitInstance();
    }

    int m_nInitCalls = 0;
    int m_nExitCalls = 0;
    INT_PTR m_nModalResult = 0;
    bool m_bMainWndCleared = false;
};

TEST(WinApp, FalseFromInitInstanceEndsWithoutAMessageLoop)
{
    CDialogApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr)), 0);
    EXPECT_EQ(app.m_nInitCalls, 1);
    EXPECT_EQ(app.m_nExitCalls, 1);
    EXPECT_EQ(app.m_nModalResult, IDCANCEL);
    EXPECT_TRUE(app.m_bMainWndCleared);
    EXPECT_EQ(app.m_hInstance, ::GetModuleHandleA(nullptr));
    // The main window's end asked to quit with 0; no loop was there to take it.
    // (Peeking for any message would hand out the quit request first.)
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

class CLoopApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        ::PostQuitMessage(7);
        return TRUE;
    }
};

TEST(WinApp, TrueFromInitInstanceRunsTheLoopUntilQuit)
{
    CLoopApp app;
    EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr)), 7);
}

TEST(WinApp, NoApplicationObjectEndsAtOnce)
{
    {
        CLoopApp app;
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr)), -1);
}
} // namespace
