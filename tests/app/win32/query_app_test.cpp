// The application object: the main dialog on the system's own services, run
// once and modally, and the program's end with it.
#include "app/win32/query_app.h"
#include "testing/fake_shell_hooks.h"
#include "tests/shell/modal_driver.h"

#include <gtest/gtest.h>

namespace
{
TEST(QueryApp, RunsTheMainDialogAsItsMainWindowAndEndsWithoutALoop)
{
    CFakeShellHooks hooks;
    CQueryApp app;
    bool bWasMainWindow = false;
    CModalDriver driver({[&]
                         {
                             const HWND hDlg = ::FindWindowA("#32770", "Veyra");
                             if (!DialogIsUp(hDlg))
                                 return false;
                             bWasMainWindow =
                                 app.m_pMainWnd != nullptr && app.m_pMainWnd->m_hWnd == hDlg;
                             PostKey(hDlg, VK_ESCAPE);
                             return true;
                         }});
    EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr)), 0);
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(bWasMainWindow);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(::FindWindowA("#32770", "Veyra"), nullptr);
    EXPECT_TRUE(hooks.m_messageBoxes.empty());
    // The main window's end asked to quit; no loop of the application's ran to take it.
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// A module without the main dialog's template: nothing comes up, nothing is
// said, and the application holds no reference to the dialog that is gone.
TEST(QueryApp, DialogThatCannotBeCreatedEndsTheProgramSilently)
{
    CFakeShellHooks hooks;
    hooks.m_hResourceModule = ::GetModuleHandleA("kernel32.dll");
    CQueryApp app;
    EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr)), 0);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(hooks.m_messageBoxes.empty());
}

TEST(QueryApp, HelpCommandReachesTheApplication)
{
    CQueryApp app;
    EXPECT_TRUE(app.OnCmdMsg(ID_HELP, 0));
}
} // namespace
