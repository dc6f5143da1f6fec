// The about box on its real controls, driven from inside its modal loop.
#include "app/win32/about_dlg.h"
#include "app/win32/res/resource.h"
#include "core/model/maker_addresses.h"
#include "shell/module_resources.h"
#include "shell/win_app.h"
#include "testing/fake_shell_hooks.h"
#include "tests/shell/dialog_template.h"
#include "tests/shell/modal_driver.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
HWND Item(const CDialog& dlg, int nID)
{
    return ::GetDlgItem(dlg.m_hWnd, nID);
}

HFONT FontOf(HWND hWnd)
{
    return reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0));
}

LOGFONTA LogFontOf(HFONT hFont)
{
    LOGFONTA logFont{};
    ::GetObjectA(hFont, sizeof logFont, &logFont);
    return logFont;
}

// Runs the about box and calls check once the box is shown; check ends it.
INT_PTR WhileShown(CAboutDlg& dlg, const std::function<void()>& check)
{
    CModalDriver driver({[&]
                         {
                             if (!DialogIsUp(dlg.m_hWnd))
                                 return false;
                             check();
                             return true;
                         }});
    const INT_PTR nResult = dlg.DoModal();
    EXPECT_TRUE(driver.Finished());
    return nResult;
}

// A point in a control's blank space: right of its text, in the middle of its height.
POINT BlankPointOf(HWND hControl)
{
    RECT rc;
    ::GetWindowRect(hControl, &rc);
    return POINT{rc.right - 2, (rc.top + rc.bottom) / 2};
}

TEST(AboutBox, ControlsSitWhereTheTemplateSaysWithTheirTexts)
{
    CAboutDlg dlg;
    CDialogTemplate about;
    ASSERT_TRUE(LoadDialogTemplate(IDD_ABOUTBOX, about));
    WhileShown(
        dlg,
        [&]
        {
            RECT rcClient;
            ::GetClientRect(dlg.m_hWnd, &rcClient);
            const RECT rcDialog = DialogUnitsToClient(dlg.m_hWnd, about.rcUnits);
            EXPECT_NEAR(rcClient.right, rcDialog.right, 1);
            EXPECT_NEAR(rcClient.bottom, rcDialog.bottom, 1);

            HWND hChild = ::GetWindow(dlg.m_hWnd, GW_CHILD);
            for (const CTemplateItem& item : about.items)
            {
                EXPECT_EQ(::GetDlgCtrlID(hChild), item.nID);
                const RECT rcActual = ChildRectInClient(dlg.m_hWnd, hChild);
                const RECT rcWanted = DialogUnitsToClient(dlg.m_hWnd, item.rcUnits);
                EXPECT_EQ(rcActual.left, rcWanted.left) << item.nID;
                EXPECT_EQ(rcActual.top, rcWanted.top) << item.nID;
                // An icon static takes the size of its icon.
                if (item.nTextOrdinal == 0)
                {
                    EXPECT_NEAR(rcActual.right - rcActual.left, rcWanted.right - rcWanted.left, 1)
                        << item.nID;
                    EXPECT_NEAR(rcActual.bottom - rcActual.top, rcWanted.bottom - rcWanted.top, 1)
                        << item.nID;
                    wchar_t szText[128] = {};
                    ::GetWindowTextW(hChild, szText, 128);
                    EXPECT_EQ(std::wstring(szText), item.strText) << item.nID;
                }
                hChild = ::GetWindow(hChild, GW_HWNDNEXT);
            }
            EXPECT_EQ(hChild, nullptr);
            ::EndDialog(dlg.m_hWnd, IDCANCEL);
        });
}

TEST(AboutBox, OkHasTheFocusAndIsTheDefaultButton)
{
    CAboutDlg dlg;
    WhileShown(dlg,
               [&]
               {
                   EXPECT_EQ(::GetFocus(), Item(dlg, IDOK));
                   EXPECT_EQ(LOWORD(::SendMessageA(dlg.m_hWnd, DM_GETDEFID, 0, 0)), IDOK);
                   ::EndDialog(dlg.m_hWnd, IDCANCEL);
               });
}

TEST(AboutBox, EnterEndsItAsOk)
{
    CAboutDlg dlg;
    EXPECT_EQ(WhileShown(dlg, [&] { PostKey(dlg.m_hWnd, VK_RETURN); }), IDOK);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(AboutBox, EscapeAndTheCloseBoxEndItAsCancel)
{
    for (const bool bEscape : {true, false})
    {
        CAboutDlg dlg;
        EXPECT_EQ(WhileShown(dlg,
                             [&]
                             {
                                 if (bEscape)
                                     PostKey(dlg.m_hWnd, VK_ESCAPE);
                                 else
                                     ::PostMessageA(dlg.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
                             }),
                  IDCANCEL)
            << (bEscape ? "Escape" : "close box");
    }
}

TEST(AboutBox, EitherLinkOpensTheHomePageOnEveryPress)
{
    CFakeShellHooks hooks;
    CAboutDlg dlg;
    WhileShown(dlg,
               [&]
               {
                   for (const int nID : {IDC_ABOUT_ADDRESS, IDC_ABOUT_NOTICE, IDC_ABOUT_ADDRESS})
                       ::SendMessageA(Item(dlg, nID), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                   // The version line is no link.
                   ::SendMessageA(Item(dlg, IDC_ABOUT_VERSION), WM_LBUTTONDOWN, MK_LBUTTON, 0);
                   ::EndDialog(dlg.m_hWnd, IDOK);
               });
    EXPECT_EQ(hooks.m_opened, std::vector<CString>(3, kMakerHomePage));
}

TEST(AboutBox, LinksTakeTheMouseOverTheirWholeRectangle)
{
    CAboutDlg dlg;
    WhileShown(
        dlg,
        [&]
        {
            for (const int nID : {IDC_ABOUT_ADDRESS, IDC_ABOUT_NOTICE})
            {
                const HWND hLink = Item(dlg, nID);
                EXPECT_EQ(::WindowFromPoint(BlankPointOf(hLink)), hLink) << nID;
                RECT rc;
                ::GetWindowRect(hLink, &rc);
                for (const POINT pt : {POINT{rc.left, rc.top}, POINT{rc.right - 1, rc.bottom - 1}})
                    EXPECT_EQ(::SendMessageA(hLink, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)),
                              HTCLIENT)
                        << nID;
            }
            // A plain static text lets the mouse through to the dialog.
            EXPECT_EQ(::WindowFromPoint(BlankPointOf(Item(dlg, IDC_ABOUT_VERSION))), dlg.m_hWnd);
            ::EndDialog(dlg.m_hWnd, IDOK);
        });
}

TEST(AboutBox, LinksShowTheHandCursor)
{
    CAboutDlg dlg;
    const HCURSOR hHand = LoadModuleCursor(IDC_HAND_CURSOR);
    ASSERT_NE(hHand, nullptr);
    WhileShown(dlg,
               [&]
               {
                   for (const int nID : {IDC_ABOUT_ADDRESS, IDC_ABOUT_NOTICE})
                   {
                       const HWND hLink = Item(dlg, nID);
                       ::SetCursor(nullptr);
                       EXPECT_EQ(::SendMessageA(hLink, WM_SETCURSOR,
                                                reinterpret_cast<WPARAM>(hLink),
                                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                                 TRUE)
                           << nID;
                       EXPECT_EQ(::GetCursor(), hHand) << nID;
                   }
                   ::EndDialog(dlg.m_hWnd, IDOK);
               });
}

TEST(AboutBox, LinksArePureBlueOnTheDialogsFace)
{
    CAboutDlg dlg;
    WhileShown(dlg,
               [&]
               {
                   const HDC hDC = ::CreateCompatibleDC(nullptr);
                   for (const int nID : {IDC_ABOUT_ADDRESS, IDC_ABOUT_NOTICE})
                   {
                       ::SetTextColor(hDC, RGB(1, 2, 3));
                       ::SetBkMode(hDC, OPAQUE);
                       const LRESULT lBrush = ::SendMessageA(
                           dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                           reinterpret_cast<LPARAM>(Item(dlg, nID)));
                       EXPECT_EQ(reinterpret_cast<HGDIOBJ>(lBrush), ::GetStockObject(NULL_BRUSH))
                           << nID;
                       EXPECT_EQ(::GetTextColor(hDC), RGB(0, 0, 255)) << nID;
                       EXPECT_EQ(::GetBkMode(hDC), TRANSPARENT) << nID;
                   }
                   // Only the links answer for themselves.
                   const LRESULT lPlain =
                       ::SendMessageA(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                      reinterpret_cast<LPARAM>(Item(dlg, IDC_ABOUT_VERSION)));
                   EXPECT_NE(reinterpret_cast<HGDIOBJ>(lPlain), ::GetStockObject(NULL_BRUSH));
                   ::DeleteDC(hDC);
                   ::EndDialog(dlg.m_hWnd, IDOK);
               });
}

TEST(AboutBox, UnderlinedFontsAreMadeOnceAndDeletedWithTheLabels)
{
    HFONT hAddressFont = nullptr;
    HFONT hNoticeFont = nullptr;
    {
        CAboutDlg dlg;
        EXPECT_EQ(WhileShown(dlg,
                             [&]
                             {
                                 hAddressFont = FontOf(Item(dlg, IDC_ABOUT_ADDRESS));
                                 hNoticeFont = FontOf(Item(dlg, IDC_ABOUT_NOTICE));
                                 const HFONT hDialogFont = FontOf(dlg.m_hWnd);
                                 EXPECT_NE(hAddressFont, hDialogFont);
                                 EXPECT_NE(hAddressFont, hNoticeFont);
                                 for (const HFONT hFont : {hAddressFont, hNoticeFont})
                                 {
                                     const LOGFONTA logFont = LogFontOf(hFont);
                                     const LOGFONTA dialogFont = LogFontOf(hDialogFont);
                                     EXPECT_TRUE(logFont.lfUnderline);
                                     EXPECT_STREQ(logFont.lfFaceName, dialogFont.lfFaceName);
                                     EXPECT_EQ(logFont.lfHeight, dialogFont.lfHeight);
                                     EXPECT_EQ(logFont.lfWeight, dialogFont.lfWeight);
                                     EXPECT_FALSE(dialogFont.lfUnderline);
                                 }
                                 // Later exchanges, in both directions, leave the labels attached
                                 // as they are.
                                 EXPECT_TRUE(dlg.UpdateData(TRUE));
                                 EXPECT_TRUE(dlg.UpdateData(FALSE));
                                 EXPECT_EQ(FontOf(Item(dlg, IDC_ABOUT_ADDRESS)), hAddressFont);
                                 EXPECT_EQ(FontOf(Item(dlg, IDC_ABOUT_NOTICE)), hNoticeFont);
                                 PostKey(dlg.m_hWnd, VK_RETURN); // OK runs one more exchange
                             }),
                  IDOK);
        // The window is gone; the labels, and so their fonts, live on with the object.
        EXPECT_EQ(static_cast<DWORD>(::GetObjectType(hAddressFont)), static_cast<DWORD>(OBJ_FONT));
        EXPECT_EQ(static_cast<DWORD>(::GetObjectType(hNoticeFont)), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(::GetObjectType(hAddressFont), 0u);
    EXPECT_EQ(::GetObjectType(hNoticeFont), 0u);
}

TEST(AboutBox, NoLinkIsReachedFromTheKeyboard)
{
    CAboutDlg dlg;
    WhileShown(
        dlg,
        [&]
        {
            for (const int nID : {IDC_ABOUT_ADDRESS, IDC_ABOUT_NOTICE})
                EXPECT_EQ(::GetWindowLongA(Item(dlg, nID), GWL_STYLE) & WS_TABSTOP, 0) << nID;
            EXPECT_EQ(::GetNextDlgTabItem(dlg.m_hWnd, Item(dlg, IDOK), FALSE), Item(dlg, IDOK));
            ::EndDialog(dlg.m_hWnd, IDOK);
        });
}

// Template 100 puts the box at 0, 0 with no alignment style: the framework centres
// it over the main window, which it disables while the box is up.
TEST(AboutBox, IsCentredOverTheMainWindowWhichWaits)
{
    CWinApp app;
    CWnd mainWnd;
    mainWnd.m_hWnd = ::CreateWindowExA(0, "STATIC", "main", WS_POPUP | WS_VISIBLE | WS_CAPTION, 60,
                                       40, 700, 500, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(mainWnd.m_hWnd, nullptr);
    app.m_pMainWnd = &mainWnd;
    CAboutDlg dlg;
    WhileShown(dlg,
               [&]
               {
                   EXPECT_EQ(::GetWindow(dlg.m_hWnd, GW_OWNER), mainWnd.m_hWnd);
                   EXPECT_FALSE(::IsWindowEnabled(mainWnd.m_hWnd));
                   RECT rcMain;
                   RECT rcBox;
                   ::GetWindowRect(mainWnd.m_hWnd, &rcMain);
                   ::GetWindowRect(dlg.m_hWnd, &rcBox);
                   EXPECT_NEAR(rcBox.left + rcBox.right, rcMain.left + rcMain.right, 2);
                   EXPECT_NEAR(rcBox.top + rcBox.bottom, rcMain.top + rcMain.bottom, 2);
                   ::EndDialog(dlg.m_hWnd, IDOK);
               });
    EXPECT_TRUE(::IsWindowEnabled(mainWnd.m_hWnd));
    app.m_pMainWnd = nullptr;
    ::DestroyWindow(mainWnd.m_hWnd);
    mainWnd.m_hWnd = nullptr;
}
} // namespace
