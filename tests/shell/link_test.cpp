// The link labels on their own, attached to controls of real dialog templates.
#include "app/win32/res/resource.h"
#include "shell/link_area.h"
#include "shell/link_text.h"
#include "shell/module_resources.h"
#include "testing/fake_shell_hooks.h"
#include "tests/shell/modeless_template.h"

#include <gtest/gtest.h>

namespace
{
// The framework's links are given their address and cursor; the program's
// hand cursor resource serves as the cursor here.
constexpr char kAddress[] = "https://link.example/";

void Press(HWND hControl)
{
    ::SendMessageA(hControl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
}

BOOL AskForCursor(HWND hControl)
{
    ::SetCursor(nullptr);
    return static_cast<BOOL>(::SendMessageA(hControl, WM_SETCURSOR,
                                            reinterpret_cast<WPARAM>(hControl),
                                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

POINT CentreOf(HWND hWnd)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

TEST(LinkText, EmptyAddressTakesTheTextOfTheFirstPressForGood)
{
    CFakeShellHooks hooks;
    CModelessTemplate dialog(IDD_ABOUTBOX);
    const HWND hText = dialog.Item(IDC_ABOUT_VERSION);
    ::SetWindowTextA(hText, "https://first.example/");
    CLinkText link("", IDC_HAND_CURSOR);
    ASSERT_TRUE(link.SubclassWindow(hText));
    Press(hText);
    ::SetWindowTextA(hText, "https://second.example/");
    Press(hText);
    EXPECT_EQ(hooks.m_opened, std::vector<CString>(2, "https://first.example/"));
}

TEST(LinkText, WithoutTheCursorResourceShowsTheNormalCursorAndStillOpens)
{
    CFakeShellHooks hooks;
    hooks.m_hResourceModule = ::GetModuleHandleA("kernel32.dll");
    ASSERT_EQ(LoadModuleCursor(IDC_HAND_CURSOR), nullptr);
    CModelessTemplate dialog(IDD_ABOUTBOX);
    CLinkText link(kAddress, IDC_HAND_CURSOR);
    ASSERT_TRUE(link.SubclassWindow(dialog.Item(IDC_ABOUT_ADDRESS)));
    AskForCursor(link.m_hWnd);
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_ARROW));
    Press(link.m_hWnd);
    EXPECT_EQ(hooks.m_opened, std::vector<CString>{kAddress});
}

TEST(LinkText, ControlWithoutAFontGetsTheUnderlinedSystemFont)
{
    CModelessTemplate dialog(IDD_ABOUTBOX);
    const HWND hBare = ::CreateWindowExA(0, "STATIC", "bare", WS_CHILD | WS_VISIBLE, 0, 0, 50, 10,
                                         dialog.m_hDlg, nullptr, nullptr, nullptr);
    ASSERT_EQ(::SendMessageA(hBare, WM_GETFONT, 0, 0), 0);
    CLinkText link(kAddress, IDC_HAND_CURSOR);
    ASSERT_TRUE(link.SubclassWindow(hBare));
    const auto hFont = reinterpret_cast<HFONT>(::SendMessageA(hBare, WM_GETFONT, 0, 0));
    ASSERT_NE(hFont, nullptr);
    LOGFONTA made{};
    LOGFONTA system{};
    ::GetObjectA(hFont, sizeof made, &made);
    ::GetObjectA(::GetStockObject(SYSTEM_FONT), sizeof system, &system);
    EXPECT_TRUE(made.lfUnderline);
    EXPECT_STREQ(made.lfFaceName, system.lfFaceName);
}

TEST(LinkText, LabelOutlivedByItsWindowGivesTheWindowBack)
{
    CFakeShellHooks hooks;
    CModelessTemplate dialog(IDD_ABOUTBOX);
    const HWND hText = dialog.Item(IDC_ABOUT_ADDRESS);
    const LONG_PTR own = ::GetWindowLongPtrA(hText, GWLP_WNDPROC);
    HFONT hFont = nullptr;
    {
        CLinkText link(kAddress, IDC_HAND_CURSOR);
        ASSERT_TRUE(link.SubclassWindow(hText));
        EXPECT_FALSE(CLinkText(kAddress, IDC_HAND_CURSOR).SubclassWindow(hText))
            << "a window belongs to one object";
        hFont = reinterpret_cast<HFONT>(::SendMessageA(hText, WM_GETFONT, 0, 0));
    }
    EXPECT_EQ(::GetWindowLongPtrA(hText, GWLP_WNDPROC), own);
    EXPECT_EQ(CWnd::FromHandlePermanent(hText), nullptr);
    EXPECT_EQ(::GetObjectType(hFont), 0u);
    Press(hText);
    EXPECT_TRUE(hooks.m_opened.empty());
}

TEST(LinkText, DestroyedWindowLetsTheLabelGoButNotItsFont)
{
    CModelessTemplate dialog(IDD_ABOUTBOX);
    CLinkText link(kAddress, IDC_HAND_CURSOR);
    ASSERT_TRUE(link.SubclassWindow(dialog.Item(IDC_ABOUT_ADDRESS)));
    const auto hFont = reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT));
    ::DestroyWindow(dialog.m_hDlg);
    EXPECT_EQ(link.m_hWnd, nullptr);
    EXPECT_EQ(static_cast<DWORD>(::GetObjectType(hFont)), static_cast<DWORD>(OBJ_FONT));
}

TEST(LinkArea, OpensItsAddressWithItsCursor)
{
    CFakeShellHooks hooks;
    CModelessTemplate dialog(IDD_QUERY_DIALOG);
    CLinkArea banner(kAddress, IDC_HAND_CURSOR);
    ASSERT_TRUE(banner.SubclassWindow(dialog.Item(IDC_BANNER)));
    EXPECT_EQ(::WindowFromPoint(CentreOf(banner.m_hWnd)), banner.m_hWnd);
    EXPECT_TRUE(AskForCursor(banner.m_hWnd));
    EXPECT_EQ(::GetCursor(), LoadModuleCursor(IDC_HAND_CURSOR));
    Press(banner.m_hWnd);
    Press(banner.m_hWnd);
    EXPECT_EQ(hooks.m_opened, std::vector<CString>(2, kAddress));
}

// Without SS_NOTIFY a static lets the mouse through, so the area gets nothing.
TEST(LinkArea, StaticWithoutNotifyStyleGetsNoMouse)
{
    CModelessTemplate dialog(IDD_ABOUTBOX);
    CLinkArea area(kAddress, IDC_HAND_CURSOR);
    ASSERT_TRUE(area.SubclassWindow(dialog.Item(IDC_ABOUT_VERSION)));
    EXPECT_EQ(::WindowFromPoint(CentreOf(area.m_hWnd)), dialog.m_hDlg);
}
} // namespace
