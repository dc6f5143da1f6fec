// CDialog on the main dialog's template: message-map routing, default
// processing, data exchange and nested modal runs.
#include "app/win32/about_dlg.h"
#include "app/win32/res/resource.h"
#include "shell/combo_box.h"
#include "shell/data_exchange.h"
#include "shell/list_ctrl.h"
#include "shell/paint_dc.h"
#include "shell/win_app.h"
#include "tests/shell/modal_driver.h"

#include <gtest/gtest.h>

namespace
{
// A dialog that records what its map routes to it.
class CRoutingDlg : public CDialog
{
public:
    CRoutingDlg() : CDialog(IDD_QUERY_DIALOG) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        for (const char* pszEntry : {"zeta", "alpha", "mid"})
            m_combo.AddString(pszEntry);
        return TRUE;
    }

    int m_nIndex = -1;
    int m_nSendClicks = 0;
    int m_nSelChanges = 0;
    int m_nIndexAtSelChange = -2;
    int m_nSaveAs = 0;
    std::vector<UINT> m_sysCommands;
    INT_PTR m_nAboutResult = 0;
    const NMHDR* m_pNotified = nullptr;
    HDC m_hPaintDC = nullptr;
    HICON m_hDragIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    CComboBox m_combo;
    CListCtrl m_list;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_ADAPTER_COMBO, m_combo);
        DDX_Control(pDX, IDC_RESULT_LIST, m_list);
        DDX_CBIndex(pDX, IDC_ADAPTER_COMBO, m_nIndex);
    }

    void OnSysCommand(UINT nID, LPARAM lParam)
    {
        m_sysCommands.push_back(nID);
        if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        {
            CAboutDlg about;
            m_nAboutResult = about.DoModal();
        }
        else
        {
            CDialog::OnSysCommand(nID, lParam);
        }
    }
    void OnSendRequest() { ++m_nSendClicks; }
    void OnSelchangeAdapter()
    {
        ++m_nSelChanges;
        UpdateData(TRUE);
        m_nIndexAtSelChange = m_nIndex;
    }
    void OnRclickResultList(NMHDR* pNMHDR, LRESULT* pResult)
    {
        m_pNotified = pNMHDR;
        *pResult = 7;
    }
    void OnSaveAs() { ++m_nSaveAs; }
    void OnPaint()
    {
        CPaintDC dc(this);
        m_hPaintDC = dc.GetSafeHdc();
    }
    HCURSOR OnQueryDragIcon() { return m_hDragIcon; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRoutingDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_SEND_REQUEST, OnSendRequest)
    ON_CBN_SELCHANGE(IDC_ADAPTER_COMBO, OnSelchangeAdapter)
    ON_NOTIFY(NM_RCLICK, IDC_RESULT_LIST, OnRclickResultList)
    ON_COMMAND(ID_POPUP_SAVEAS, OnSaveAs)
END_MESSAGE_MAP()

// An application whose map takes the help command.
class CHelpApp : public CWinApp
{
public:
    int m_nHelp = 0;

protected:
    void OnHelpCommand() { ++m_nHelp; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

// Runs the routing dialog with one step that does the test's work and ends it.
INT_PTR RunWith(CRoutingDlg& dlg, const std::function<void()>& work)
{
    CModalDriver driver({[&]
                         {
                             if (!DialogIsUp(dlg.m_hWnd))
                                 return false;
                             work();
                             if (::IsWindow(dlg.m_hWnd))
                                 ::EndDialog(dlg.m_hWnd, IDABORT);
                             return true;
                         }});
    const INT_PTR nResult = dlg.DoModal();
    EXPECT_TRUE(driver.Finished());
    return nResult;
}

TEST(DialogRouting, ButtonClickReachesItsHandler)
{
    CRoutingDlg dlg;
    RunWith(dlg,
            [&]
            {
                ::SendMessageA(dlg.GetDlgItem(IDC_SEND_REQUEST), BM_CLICK, 0, 0);
                // Another button's click has no entry and changes nothing.
                ::SendMessageA(dlg.GetDlgItem(IDC_DOWNLOAD), BM_CLICK, 0, 0);
            });
    EXPECT_EQ(dlg.m_nSendClicks, 1);
}

TEST(DialogRouting, SelectionChangeReadsTheComboIndex)
{
    CRoutingDlg dlg;
    RunWith(dlg,
            [&]
            {
                dlg.m_combo.SetCurSel(2);
                ::SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_ADAPTER_COMBO, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(dlg.m_combo.m_hWnd));
            });
    EXPECT_EQ(dlg.m_nSelChanges, 1);
    EXPECT_EQ(dlg.m_nIndexAtSelChange, 2);
}

TEST(DialogRouting, NotificationGetsItsHeaderAndAnswers)
{
    CRoutingDlg dlg;
    LRESULT lAnswer = 0;
    NMHDR header{};
    RunWith(dlg,
            [&]
            {
                header = NMHDR{dlg.m_list.m_hWnd, IDC_RESULT_LIST, NM_RCLICK};
                lAnswer = ::SendMessageA(dlg.m_hWnd, WM_NOTIFY, IDC_RESULT_LIST,
                                         reinterpret_cast<LPARAM>(&header));
                // Another code from the same control is not routed.
                NMHDR other{dlg.m_list.m_hWnd, IDC_RESULT_LIST, NM_CLICK};
                ::SendMessageA(dlg.m_hWnd, WM_NOTIFY, IDC_RESULT_LIST,
                               reinterpret_cast<LPARAM>(&other));
            });
    EXPECT_EQ(dlg.m_pNotified, &header);
    EXPECT_EQ(lAnswer, 7);
}

TEST(DialogRouting, MenuCommandReachesItsHandler)
{
    CRoutingDlg dlg;
    RunWith(dlg,
            [&]
            {
                ::SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_POPUP_SAVEAS, 0), 0);
                ::SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_POPUP_COPYALL, 0), 0);
            });
    EXPECT_EQ(dlg.m_nSaveAs, 1);
}

TEST(DialogRouting, HelpCommandAndF1ReachTheApplication)
{
    CHelpApp app;
    CRoutingDlg dlg;
    RunWith(dlg,
            [&]
            {
                ::SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
                HELPINFO info{};
                info.cbSize = sizeof info;
                ::SendMessageA(dlg.m_hWnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            });
    EXPECT_EQ(app.m_nHelp, 2);
}

TEST(DialogRouting, PaintAndDragIconHandlersAnswer)
{
    CRoutingDlg dlg;
    RunWith(dlg,
            [&]
            {
                ::InvalidateRect(dlg.m_hWnd, nullptr, TRUE);
                ::UpdateWindow(dlg.m_hWnd);
                RECT rcUpdate;
                EXPECT_FALSE(::GetUpdateRect(dlg.m_hWnd, &rcUpdate, FALSE));
                EXPECT_EQ(::SendMessageA(dlg.m_hWnd, WM_QUERYDRAGICON, 0, 0),
                          reinterpret_cast<LRESULT>(dlg.m_hDragIcon));
            });
    EXPECT_NE(dlg.m_hPaintDC, nullptr);
}

// The handler passes SC_CLOSE on to the base class, whose default processing
// turns it into the Cancel command.
TEST(DialogRouting, SystemCommandFallsBackToDefaultProcessing)
{
    CRoutingDlg dlg;
    CModalDriver driver({[&]
                         {
                             if (!DialogIsUp(dlg.m_hWnd))
                                 return false;
                             ::SendMessageA(dlg.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
                             return true;
                         }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_sysCommands, std::vector<UINT>{SC_CLOSE});
}

TEST(DialogData, OkSavesTheComboIndexBeforeEnding)
{
    CRoutingDlg dlg;
    CModalDriver driver({[&]
                         {
                             if (!DialogIsUp(dlg.m_hWnd))
                                 return false;
                             dlg.m_combo.SetCurSel(1);
                             ::SendMessageA(dlg.m_hWnd, WM_COMMAND, IDOK, 0);
                             return true;
                         }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nIndex, 1);
}

TEST(DialogData, LoadingSelectsAndMinusOneClears)
{
    CRoutingDlg dlg;
    RunWith(dlg,
            [&]
            {
                EXPECT_EQ(dlg.m_combo.GetCurSel(), -1) << "the first exchange loaded -1";
                dlg.m_nIndex = 2;
                EXPECT_TRUE(dlg.UpdateData(FALSE));
                EXPECT_EQ(dlg.m_combo.GetCurSel(), 2);
                dlg.m_nIndex = -1;
                dlg.UpdateData(FALSE);
                EXPECT_EQ(dlg.m_combo.GetCurSel(), -1);
                dlg.m_nIndex = 5;
                dlg.UpdateData(TRUE);
                EXPECT_EQ(dlg.m_nIndex, -1);
                // The controls stay attached to the same members.
                EXPECT_EQ(CWnd::FromHandlePermanent(dlg.GetDlgItem(IDC_ADAPTER_COMBO)),
                          &dlg.m_combo);
            });
    EXPECT_EQ(dlg.m_combo.m_hWnd, nullptr) << "the control's window is gone";
}

// A dialog whose exchange names a control its template lacks.
class CMissingControlDlg : public CDialog
{
public:
    CMissingControlDlg() : CDialog(IDD_ABOUTBOX) {}

    int m_nIndex = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_CBIndex(pDX, IDC_ADAPTER_COMBO, m_nIndex);
    }
};

TEST(DialogData, MissingControlFailsTheExchangeAndKeepsOkFromEnding)
{
    CMissingControlDlg dlg;
    bool bStillUp = false;
    CModalDriver driver({[&]
                         {
                             if (!DialogIsUp(dlg.m_hWnd))
                                 return false;
                             EXPECT_FALSE(dlg.UpdateData(TRUE));
                             ::SendMessageA(dlg.m_hWnd, WM_COMMAND, IDOK, 0);
                             return true;
                         },
                         [&]
                         {
                             bStillUp = ::IsWindow(dlg.m_hWnd) != FALSE;
                             ::SendMessageA(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);
                             return true;
                         }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bStillUp);
}

TEST(DialogModal, MissingTemplateGivesMinusOne)
{
    CDialog dlg(4711);
    EXPECT_EQ(dlg.DoModal(), -1);
}

// The about box runs its own modal loop inside the dialog's, owned by the main
// window, which takes no input meanwhile. When the main window goes, the
// application forgets it and asks to quit.
TEST(DialogModal, NestedRunOwnedByTheMainWindow)
{
    CWinApp app;
    CRoutingDlg dlg;
    app.m_pMainWnd = &dlg;
    HWND hAbout = nullptr;
    CModalDriver driver({[&]
                         {
                             if (!DialogIsUp(dlg.m_hWnd))
                                 return false;
                             ::PostMessageA(dlg.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);
                             return true;
                         },
                         [&]
                         {
                             hAbout = ::GetLastActivePopup(dlg.m_hWnd);
                             if (hAbout == dlg.m_hWnd || !DialogIsUp(hAbout))
                                 return false;
                             EXPECT_EQ(::GetWindow(hAbout, GW_OWNER), dlg.m_hWnd);
                             EXPECT_FALSE(::IsWindowEnabled(dlg.m_hWnd));
                             PostKey(hAbout, VK_ESCAPE);
                             return true;
                         },
                         [&]
                         {
                             if (::IsWindow(hAbout))
                                 return false;
                             EXPECT_TRUE(::IsWindowEnabled(dlg.m_hWnd));
                             PostKey(dlg.m_hWnd, VK_ESCAPE);
                             return true;
                         }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(dlg.m_sysCommands, std::vector<UINT>{IDM_ABOUTBOX | 0x3});
    EXPECT_EQ(dlg.m_nAboutResult, IDCANCEL);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}
} // namespace
