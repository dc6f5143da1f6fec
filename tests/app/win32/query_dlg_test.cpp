// The main dialog: start-up, the adapter chooser, the request and its rows, the
// advertising area, the system menu and the ways the dialog ends.
#include "app/win32/res/resource.h"
#include "core/model/maker_addresses.h"
#include "platform/wait_cursor.h"
#include "shell/module_resources.h"
#include "shell/win_app.h"
#include "tests/app/win32/query_dlg_fixture.h"

#include <algorithm>
#include <commctrl.h>
#include <functional>
#include <iterator>

namespace
{
const CString kFirstMac = "00:0C:29:AB:CD:EF";
const CString kSecondMac = "00:50:56:C0:00:08";

TEST_F(QueryDlgTest, ChooserListsTheAdaptersInTheirOrderWithTheFirstSelected)
{
    AddThreeAdapters();
    Run({[&]
         {
             EXPECT_EQ(ChooserEntries(), std::vector<CString>({kFirstMac, kSecondMac, kFirstMac}));
             EXPECT_EQ(ChooserSelection(), 0);
             EXPECT_EQ(::GetFocus(), Item(IDC_SEND_REQUEST));
             EXPECT_EQ(LOWORD(::SendMessageA(m_hDlg, DM_GETDEFID, 0, 0)), IDC_SEND_REQUEST);
             EXPECT_TRUE(Rows().empty());
             return true;
         }});
    // One snapshot, taken when the window came up.
    EXPECT_EQ(m_ipHelper.AdaptersInfoCalls().size(), 2u);
    EXPECT_TRUE(m_service.Calls().empty());
}

TEST_F(QueryDlgTest, ResultListHasItsColumnsStylesAndImages)
{
    Run({[&]
         {
             const HWND hList = Item(IDC_RESULT_LIST);
             EXPECT_EQ(::SendMessageA(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x123);
             const auto hImages = reinterpret_cast<HIMAGELIST>(
                 ::SendMessageA(hList, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
             EXPECT_NE(hImages, nullptr);
             EXPECT_EQ(::ImageList_GetImageCount(hImages), 8);
             const struct
             {
                 const char* pszHeading;
                 int nWidth;
             } columns[] = {{"DHCP Parameter", 200}, {"DHCP Data", 450}};
             for (int n = 0; n < 2; ++n)
             {
                 char szHeading[32] = {};
                 LVCOLUMNA column{};
                 column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
                 column.pszText = szHeading;
                 column.cchTextMax = sizeof szHeading;
                 EXPECT_TRUE(::SendMessageA(hList, LVM_GETCOLUMNA, static_cast<WPARAM>(n),
                                            reinterpret_cast<LPARAM>(&column)));
                 EXPECT_STREQ(szHeading, columns[n].pszHeading);
                 EXPECT_EQ(column.cx, columns[n].nWidth);
                 EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
             }
             const auto hHeader =
                 reinterpret_cast<HWND>(::SendMessageA(hList, LVM_GETHEADER, 0, 0));
             EXPECT_EQ(::SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0), 2);
             return true;
         }});
}

TEST_F(QueryDlgTest, WindowCarriesTheApplicationIcon)
{
    Run({[&]
         {
             const HICON hIcon = LoadModuleIcon(IDR_MAINFRAME);
             EXPECT_NE(hIcon, nullptr);
             EXPECT_EQ(::SendMessageA(m_hDlg, WM_GETICON, ICON_BIG, 0),
                       reinterpret_cast<LRESULT>(hIcon));
             EXPECT_EQ(::SendMessageA(m_hDlg, WM_GETICON, ICON_SMALL, 0),
                       reinterpret_cast<LRESULT>(hIcon));
             EXPECT_EQ(::SendMessageA(m_hDlg, WM_QUERYDRAGICON, 0, 0),
                       reinterpret_cast<LRESULT>(hIcon));
             return true;
         }});
}

TEST_F(QueryDlgTest, RowsFollowTheRequestOrderWithTheServersRowMarked)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             const std::vector<ListRow> rows = Rows();
             const struct
             {
                 const char* pszParameter;
                 const char* pszData;
                 int nImage;
             } expected[] = {{"DHCP Server", "192.168.1.1", 1},
                             {"Host Name", "", 2},
                             {"Subnet Mask", "255.255.255.0", 2},
                             {"Domain Name", "home.example", 2},
                             {"DNS Server", "192.168.1.53 192.168.1.54 ", 2},
                             {"Gateway Address", "192.168.1.1", 2}};
             EXPECT_EQ(rows.size(), std::size(expected));
             for (size_t n = 0; n < std::min(rows.size(), std::size(expected)); ++n)
             {
                 EXPECT_EQ(rows[n].strParameter, expected[n].pszParameter) << n;
                 EXPECT_EQ(rows[n].strData, expected[n].pszData) << n;
                 EXPECT_EQ(rows[n].nImage, expected[n].nImage) << n;
                 EXPECT_EQ(rows[n].lParam, 0) << n;
                 EXPECT_EQ(rows[n].nState, 0u) << n;
             }
             // The chooser is as it was, and the button keeps the focus.
             EXPECT_EQ(ChooserSelection(), 0);
             return true;
         }});
    EXPECT_EQ(RequestedAdapters(), std::vector<CString>({"{A1}"}));
    EXPECT_TRUE(m_hooks.m_messageBoxes.empty());
}

// What the rows look like on the screen: the list draws again after it has
// been filled, each row with its image.
TEST_F(QueryDlgTest, RowsAreDrawnWithTheirImages)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    const auto CountPixels = [](HDC hDC, const RECT& rc, COLORREF clr)
    {
        int nCount = 0;
        for (LONG y = rc.top; y < rc.bottom; ++y)
            for (LONG x = rc.left; x < rc.right; ++x)
                nCount += ::GetPixel(hDC, x, y) == clr;
        return nCount;
    };
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             const HWND hList = Item(IDC_RESULT_LIST);
             ::RedrawWindow(hList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
             const HDC hDC = ::GetDC(hList);
             for (const int nRow : {0, 1})
             {
                 RECT rcIcon{};
                 rcIcon.left = LVIR_ICON;
                 ::SendMessageA(hList, LVM_GETITEMRECT, static_cast<WPARAM>(nRow),
                                reinterpret_cast<LPARAM>(&rcIcon));
                 const COLORREF clrWanted = nRow == 0 ? RGB(255, 0, 0) : RGB(0, 0, 255);
                 EXPECT_GT(CountPixels(hDC, rcIcon, clrWanted), 10) << nRow;
             }
             ::ReleaseDC(hList, hDC);
             return true;
         }});
}

TEST_F(QueryDlgTest, NoAdaptersMeansNoInterfacesPresent)
{
    Run({[&]
         {
             EXPECT_TRUE(ChooserEntries().empty());
             EXPECT_EQ(ChooserSelection(), -1);
             Click(IDC_SEND_REQUEST);
             EXPECT_TRUE(Rows().empty());
             EXPECT_EQ(ChooserSelection(), -1);
             return true;
         }});
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 1u);
    EXPECT_EQ(m_hooks.m_messageBoxes[0].strText, "No Interfaces Present");
    EXPECT_EQ(m_hooks.m_messageBoxes[0].nType, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_TRUE(m_service.Calls().empty());
}

TEST_F(QueryDlgTest, FailedEnumerationLeavesAnEmptyChooser)
{
    AddThreeAdapters();
    m_ipHelper.AnswerAdaptersInfo(CPreparedIpHelper::Call::Fill, ERROR_NOT_SUPPORTED);
    Run({[&]
         {
             EXPECT_TRUE(ChooserEntries().empty());
             Click(IDC_SEND_REQUEST);
             return true;
         }});
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 1u);
    EXPECT_EQ(m_hooks.m_messageBoxes[0].strText, "No Interfaces Present");
}

TEST_F(QueryDlgTest, AdapterWithoutANameMeansNoInterfacesPresent)
{
    m_ipHelper.Add(CPreparedAdapter("").HardwareAddress({0x02, 0, 0, 0, 0, 1}));
    m_ipHelper.Add(CPreparedAdapter("{later}").HardwareAddress({0x02, 0, 0, 0, 0, 1}));
    ScriptTypicalOptions();
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             ChooseAdapter(1); // the same text means the first adapter again
             Click(IDC_SEND_REQUEST);
             EXPECT_TRUE(Rows().empty());
             return true;
         }});
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 2u);
    EXPECT_EQ(m_hooks.m_messageBoxes[1].strText, "No Interfaces Present");
    EXPECT_TRUE(m_service.Calls().empty());
}

TEST_F(QueryDlgTest, EqualTextsMeanTheFirstOfTheirAdapters)
{
    AddThreeAdapters();
    Run({[&]
         {
             ChooseAdapter(2);
             Click(IDC_SEND_REQUEST);
             EXPECT_EQ(ChooserSelection(), 2);
             ChooseAdapter(1);
             Click(IDC_SEND_REQUEST);
             return true;
         }});
    EXPECT_EQ(RequestedAdapters(), std::vector<CString>({"{A1}", "{B2}"}));
}

TEST_F(QueryDlgTest, SuccessWithoutOptionsEmptiesTheListSilently)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             EXPECT_EQ(Rows().size(), 6u);
             m_service = CScriptedDhcpClient();
             Click(IDC_SEND_REQUEST);
             EXPECT_TRUE(Rows().empty());
             return true;
         }});
    EXPECT_TRUE(m_hooks.m_messageBoxes.empty());
}

TEST_F(QueryDlgTest, FailureAfterASuccessEmptiesTheListAndShowsTheErrorText)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             EXPECT_EQ(Rows().size(), 6u);
             m_service.FailWith(ERROR_ACCESS_DENIED);
             Click(IDC_SEND_REQUEST);
             EXPECT_TRUE(Rows().empty());
             // Still ready for the next request.
             m_service.FailWith(0);
             Click(IDC_SEND_REQUEST);
             EXPECT_EQ(Rows().size(), 6u);
             return true;
         }});
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 1u);
    const CString& strText = m_hooks.m_messageBoxes[0].strText;
    EXPECT_EQ(strText.rfind("DHCP Error 5: ", 0), 0u) << strText;
    EXPECT_GT(strText.size(), 16u);
    EXPECT_EQ(m_hooks.m_messageBoxes[0].strCaption, "veyra_tests");
}

// The DHCP client API could not be initialised: the window comes up as ever,
// silently, and each request shows why without asking the service.
TEST_F(QueryDlgTest, FailedInitialisationShowsItsReasonAtEachRequest)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    m_service.SetInitializeResult(ERROR_ACCESS_DENIED, 0);
    Run({[&]
         {
             EXPECT_TRUE(m_hooks.m_messageBoxes.empty()) << "nothing said at start-up";
             EXPECT_EQ(ChooserEntries().size(), 3u);
             Click(IDC_SEND_REQUEST);
             Click(IDC_SEND_REQUEST);
             EXPECT_TRUE(Rows().empty());
             return true;
         }});
    EXPECT_TRUE(m_service.Calls().empty());
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 2u);
    for (const CFakeShellHooks::MessageBoxCall& box : m_hooks.m_messageBoxes)
        EXPECT_EQ(box.strText.rfind("DHCP Error 5: ", 0), 0u) << box.strText;
    EXPECT_EQ(m_service.CleanupCount(), 0);
}

// Busy for the whole request, whichever way it ends, and never under a message
// box: the error text comes after the busy cursor has gone.
TEST_F(QueryDlgTest, RequestRunsUnderTheBusyCursorAndItsErrorBoxAfterIt)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    const HCURSOR hWait = ::LoadCursorA(nullptr, IDC_WAIT);
    std::vector<int> busyDuringCalls;
    m_service.RunDuringRequests(
        [&]
        {
            busyDuringCalls.push_back(CWaitCursor::ActiveCount());
            EXPECT_EQ(::GetCursor(), hWait);
        });
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             EXPECT_EQ(CWaitCursor::ActiveCount(), 0);
             EXPECT_NE(::GetCursor(), hWait);
             m_service.FailWith(ERROR_ACCESS_DENIED);
             Click(IDC_SEND_REQUEST);
             EXPECT_EQ(CWaitCursor::ActiveCount(), 0);
             return true;
         }});
    EXPECT_EQ(busyDuringCalls, std::vector<int>({1, 1}));
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 1u);
    EXPECT_NE(m_hooks.m_messageBoxes[0].hCursor, hWait);
}

TEST_F(QueryDlgTest, NoInterfacesBoxComesWithoutTheBusyCursor)
{
    const HCURSOR hWait = ::LoadCursorA(nullptr, IDC_WAIT);
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             return true;
         }});
    ASSERT_EQ(m_hooks.m_messageBoxes.size(), 1u);
    EXPECT_NE(m_hooks.m_messageBoxes[0].hCursor, hWait);
    EXPECT_EQ(CWaitCursor::ActiveCount(), 0);
}

TEST_F(QueryDlgTest, ChoosingAnotherAdapterKeepsTheRowsAndSendsNothing)
{
    AddThreeAdapters();
    ScriptTypicalOptions();
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             const std::vector<ListRow> before = Rows();
             ChooseAdapter(1);
             EXPECT_EQ(ChooserSelection(), 1);
             EXPECT_EQ(Rows().size(), before.size());
             EXPECT_EQ(Rows().front().strData, before.front().strData);
             EXPECT_EQ(m_service.Calls().size(), 1u);
             Click(IDC_SEND_REQUEST);
             return true;
         }});
    EXPECT_EQ(RequestedAdapters(), std::vector<CString>({"{A1}", "{B2}"}));
}

TEST_F(QueryDlgTest, TraceLineOncePerRequest)
{
    AddThreeAdapters();
    testing::internal::CaptureStdout();
    Run({[&]
         {
             Click(IDC_SEND_REQUEST);
             ChooseAdapter(1);
             Click(IDC_SEND_REQUEST);
             return true;
         }});
    CString strOutput = testing::internal::GetCapturedStdout();
    strOutput.erase(std::remove(strOutput.begin(), strOutput.end(), '\r'), strOutput.end());
    EXPECT_EQ(strOutput, "Getting DHCP Options on Adapter [{A1}]\n"
                         "Getting DHCP Options on Adapter [{B2}]\n");
}

TEST_F(QueryDlgTest, AdvertisingAreaOpensTheMakersPages)
{
    Run({[&]
         {
             for (const int nID : {IDC_ADVERT_TITLE, IDC_ADVERT_TEXT, IDC_BANNER})
                 ::SendMessageA(Item(nID), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
             Click(IDC_DOWNLOAD);
             return true;
         }});
    EXPECT_EQ(m_hooks.m_opened, std::vector<CString>({kMakerDownloadPage, kMakerDownloadPage,
                                                      kMakerLabsHomePage, kMakerHomePage}));
}

TEST_F(QueryDlgTest, AdvertisingAreaShowsTheHandCursor)
{
    const HCURSOR hHand = LoadModuleCursor(IDC_HAND_CURSOR);
    ASSERT_NE(hHand, nullptr);
    Run({[&]
         {
             for (const int nID : {IDC_ADVERT_TITLE, IDC_ADVERT_TEXT, IDC_BANNER})
             {
                 ::SetCursor(nullptr);
                 EXPECT_TRUE(::SendMessageA(Item(nID), WM_SETCURSOR,
                                            reinterpret_cast<WPARAM>(Item(nID)),
                                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
                     << nID;
                 EXPECT_EQ(::GetCursor(), hHand) << nID;
             }
             return true;
         }});
}

TEST_F(QueryDlgTest, SystemMenuEndsWithASeparatorAndTheAboutItem)
{
    Run({[&]
         {
             const HMENU hMenu = ::GetSystemMenu(m_hDlg, FALSE);
             const int nCount = ::GetMenuItemCount(hMenu);
             EXPECT_GE(nCount, 2);
             MENUITEMINFOA separator{};
             separator.cbSize = sizeof separator;
             separator.fMask = MIIM_FTYPE;
             EXPECT_TRUE(
                 ::GetMenuItemInfoA(hMenu, static_cast<UINT>(nCount - 2), TRUE, &separator));
             EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
             char szText[64] = {};
             MENUITEMINFOA about{};
             about.cbSize = sizeof about;
             about.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
             about.dwTypeData = szText;
             about.cch = sizeof szText;
             EXPECT_TRUE(::GetMenuItemInfoA(hMenu, static_cast<UINT>(nCount - 1), TRUE, &about));
             EXPECT_EQ(about.wID, 16u);
             EXPECT_EQ(about.fType & MFT_SEPARATOR, 0u);
             EXPECT_STREQ(szText, "&About Veyra...");
             return true;
         }});
}

// Any command that differs from 16 only in its low four bits opens the box,
// owned by the main window, which waits for it.
TEST_F(QueryDlgTest, AboutCommandOpensTheAboutBox)
{
    CWinApp app;
    int nBoxes = 0;
    const auto EndAboutBox = [&]
    {
        const HWND hAbout = ::FindWindowA("#32770", "About Veyra");
        if (!DialogIsUp(hAbout))
            return false;
        EXPECT_EQ(::GetWindow(hAbout, GW_OWNER), m_hDlg);
        EXPECT_FALSE(::IsWindowEnabled(m_hDlg));
        ++nBoxes;
        ::PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
        return true;
    };
    const auto AboutBoxIsGone = [&]
    { return ::FindWindowA("#32770", "About Veyra") == nullptr && ::IsWindowEnabled(m_hDlg); };
    Run({[&]
         {
             app.m_pMainWnd = CWnd::FromHandlePermanent(m_hDlg);
             ::PostMessageA(m_hDlg, WM_SYSCOMMAND, 16, 0);
             return true;
         },
         EndAboutBox, AboutBoxIsGone,
         [&]
         {
             ::PostMessageA(m_hDlg, WM_SYSCOMMAND, 16 | 0xF, 0);
             return true;
         },
         EndAboutBox, AboutBoxIsGone});
    EXPECT_EQ(nBoxes, 2);
    // The main window's end asked the application to quit; no loop takes that here.
    MSG msg;
    ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST_F(QueryDlgTest, EscapeTheCloseBoxAndCloseEndTheDialog)
{
    const std::function<void(HWND)> ways[] = {
        [](HWND hDlg) { PostKey(hDlg, VK_ESCAPE); },
        [](HWND hDlg) { ::PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](HWND hDlg) { ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0); }};
    for (const auto& EndIt : ways)
    {
        const int nCleanups = m_service.CleanupCount();
        EXPECT_EQ(RunToItsEnd({[&]
                               {
                                   EndIt(m_hDlg);
                                   return true;
                               }}),
                  IDCANCEL);
        EXPECT_FALSE(::IsWindow(m_hDlg));
        // The dialog object is gone too, and with it the DHCP client interface.
        EXPECT_EQ(m_service.CleanupCount(), nCleanups + 1);
    }
    EXPECT_EQ(m_service.InitializeCount(), 3);
}
} // namespace
