#include "app/win32/query_dlg.h"

#include "app/win32/about_dlg.h"
#include "app/win32/res/resource.h"
#include "app/win32/working_directory.h"
#include "core/model/adapter_choice.h"
#include "core/model/icon_position.h"
#include "core/model/list_text.h"
#include "core/model/maker_addresses.h"
#include "core/model/result_rows.h"
#include "core/model/save_name.h"
#include "core/model/screen_point.h"
#include "platform/text_file.h"
#include "platform/wait_cursor.h"
#include "shell/clipboard.h"
#include "shell/data_exchange.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
#include "shell/module_resources.h"
#include "shell/open_address.h"
#include "shell/paint_dc.h"

#include <commdlg.h>

namespace
{
// LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB,
// and every other extended style off.
constexpr DWORD kResultListStyle = 0x123;

CellRow ReadRow(const CListCtrl& list, int nRow, int nColumns)
{
    CellRow cells;
    cells.reserve(static_cast<size_t>(nColumns));
    for (int nColumn = 0; nColumn < nColumns; ++nColumn)
        cells.push_back(list.GetItemText(nRow, nColumn));
    return cells;
}

bool FileExists(const CString& strPath)
{
    return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

BEGIN_MESSAGE_MAP(CQueryDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_SEND_REQUEST, OnSendRequest)
    ON_CBN_SELCHANGE(IDC_ADAPTER_COMBO, OnSelchangeAdapter)
    ON_BN_CLICKED(IDC_DOWNLOAD, OnDownloadHere)
    ON_COMMAND(ID_POPUP_COPYALL, OnCopyAll)
    ON_NOTIFY(NM_RCLICK, IDC_RESULT_LIST, OnRclickResultList)
    ON_COMMAND(ID_POPUP_SAVEAS, OnSaveAs)
    ON_COMMAND(ID_POPUP_COPYROW, OnCopyRow)
END_MESSAGE_MAP()

CQueryDlg::CQueryDlg(CWnd* pParent)
    : CQueryDlg(PlatformDhcpClientService(), PlatformIpHelper(), pParent)
{
}

// The DHCP client interface is opened, and then Windows Sockets started,
// before the window exists; a failure of either does not stop the program.
CQueryDlg::CQueryDlg(CDhcpClientService& dhcpService, CIpHelper& ipHelper, CWnd* pParent)
    : CDialog(IDD_QUERY_DIALOG, pParent), m_query(dhcpService), m_adapters(ipHelper),
      m_banner(kMakerLabsHomePage, IDC_HAND_CURSOR),
      m_advertText(kMakerDownloadPage, IDC_HAND_CURSOR),
      m_advertTitle(kMakerDownloadPage, IDC_HAND_CURSOR), m_nAdapter(-1),
      m_hIcon(LoadModuleIcon(IDR_MAINFRAME))
{
    m_imageList.Create(IDB_RESULT_IMAGES, 16, 1, RGB(0, 128, 128));
}

void CQueryDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BANNER, m_banner);
    DDX_Control(pDX, IDC_ADVERT_TEXT, m_advertText);
    DDX_Control(pDX, IDC_ADVERT_TITLE, m_advertTitle);
    DDX_Control(pDX, IDC_ADAPTER_COMBO, m_comboAdapters);
    DDX_Control(pDX, IDC_RESULT_LIST, m_listResults);
    DDX_CBIndex(pDX, IDC_ADAPTER_COMBO, m_nAdapter);
}

BOOL CQueryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (const HMENU hSysMenu = GetSystemMenu(FALSE))
    {
        const CString strAboutMenu = LoadModuleString(IDS_ABOUTBOX);
        if (!strAboutMenu.empty())
        {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu.c_str());
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_listResults.SetExtendedStyle(kResultListStyle);
    m_listResults.SetImageList(&m_imageList, LVSIL_SMALL);
    m_listResults.InsertColumn(0, "DHCP Parameter", LVCFMT_LEFT, 200);
    m_listResults.InsertColumn(1, "DHCP Data", LVCFMT_LEFT, 450);

    // After a failure the list is empty, and so is the chooser.
    m_adapters.EnumerateAdapters();
    for (const AdapterInfo& adapter : m_adapters.m_AdapterList)
        m_comboAdapters.AddString(adapter.m_strMacAddress.c_str());
    if (!m_adapters.m_AdapterList.empty())
    {
        m_nAdapter = 0;
        m_comboAdapters.SetCurSel(m_nAdapter);
        m_comboAdapters.GetLBText(m_comboAdapters.GetCurSel(), m_strAdapter);
    }
    return TRUE; // the focus goes to the first tab stop, "Send DHCP Request"
}

void CQueryDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
    {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    }
    else
    {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CQueryDlg::OnPaint()
{
    if (!IsIconic())
    {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rect;
    GetClientRect(&rect);
    const int x = CentredIconOffset(rect.right - rect.left, ::GetSystemMetrics(SM_CXICON));
    const int y = CentredIconOffset(rect.bottom - rect.top, ::GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(x, y, m_hIcon);
}

// The minimised window is dragged with the application's icon.
HCURSOR CQueryDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CQueryDlg::OnSendRequest()
{
    DhcpOptionList options;
    m_listResults.DeleteAllItems();
    UpdateData(TRUE);
    m_comboAdapters.GetLBText(m_nAdapter, m_strAdapter);

    const CString strAdapterName = AdapterNameFor(m_adapters.m_AdapterList, m_strAdapter);
    if (strAdapterName.empty())
    {
        AfxMessageBox("No Interfaces Present");
        return;
    }
    bool bAnswered = false;
    {
        // Busy for the whole request; any message box comes after it.
        const CWaitCursor waitCursor;
        bAnswered = m_query.RequestOptions(options, strAdapterName.c_str());
    }
    if (!bAnswered)
    {
        AfxMessageBox(m_query.GetErrorText().c_str());
        return;
    }
    // A list view may redraw itself, scroll bar and all, at every new row:
    // under Wine that makes 46 rows take more than half a second.
    m_listResults.SetRedraw(FALSE);
    for (const ResultRow& row : BuildResultRows(options))
    {
        const int nRow = m_listResults.InsertItem(m_listResults.GetItemCount(),
                                                  row.strParameter.c_str(), row.nImage);
        if (nRow >= 0)
            m_listResults.SetItemText(nRow, 1, row.strData.c_str());
    }
    m_listResults.SetRedraw(TRUE);
    m_listResults.Invalidate();
    UpdateData(FALSE);
}

// Picking another adapter only remembers its text: the rows stay those of the
// last request, whichever adapter they belong to.
void CQueryDlg::OnSelchangeAdapter()
{
    UpdateData(TRUE);
    m_comboAdapters.GetLBText(m_nAdapter, m_strAdapter);
    UpdateData(FALSE);
}

void CQueryDlg::OnDownloadHere()
{
    OpenAddress(kMakerHomePage);
}

void CQueryDlg::OnRclickResultList(NMHDR*, LRESULT* pResult)
{
    UpdateData(TRUE);
    // Where the cursor was when the click was posted, not where it is now.
    const ScreenPoint point = ScreenPointFromMessagePos(::GetMessagePos());
    if (const HMENU hMenu = LoadModuleMenu(IDR_POPUP_MENU))
    {
        // The chosen item comes back to this dialog as a command.
        ::TrackPopupMenu(::GetSubMenu(hMenu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y,
                         0, m_hWnd, nullptr);
        ::DestroyMenu(hMenu);
    }
    *pResult = 0;
}

void CQueryDlg::OnSaveAs()
{
    SaveListAsText(m_listResults);
}

void CQueryDlg::OnCopyRow()
{
    CopySelectedRow(m_listResults);
}

void CQueryDlg::OnCopyAll()
{
    CopyTextToClipboard(m_hWnd, BuildListText(m_listResults));
}

CString CQueryDlg::BuildListText(const CListCtrl& list) const
{
    const int nRows = list.GetItemCount();
    const int nColumns = list.GetColumnCount();
    CellTable table;
    table.reserve(static_cast<size_t>(nRows));
    for (int nRow = 0; nRow < nRows; ++nRow)
        table.push_back(ReadRow(list, nRow, nColumns));
    return ::BuildListText(table);
}

bool CQueryDlg::CopySelectedRow(const CListCtrl& list)
{
    const int nRow = list.GetNextItem(-1, LVNI_SELECTED);
    if (nRow < 0)
        return false;
    return CopyTextToClipboard(m_hWnd, BuildRowText(ReadRow(list, nRow, list.GetColumnCount())));
}

bool CQueryDlg::SaveListAsText(const CListCtrl& list)
{
    const CWorkingDirectory workingDirectory;
    CFileDialog dlgFile(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, "Text Files (*.txt)|*.txt||", this);
    if (dlgFile.DoModal() != IDOK)
        return true;

    // The save dialog asked about replacing the name as chosen; a name that
    // ".txt" extends to an existing file is asked about here.
    const CString strChosenPath = dlgFile.GetPathName();
    const CString strPath = SavePathFor(strChosenPath);
    if (strPath != strChosenPath && FileExists(strPath))
    {
        const CString strQuestion = strPath + " already exists.\nDo you want to replace it?";
        if (AfxMessageBox(strQuestion.c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return true;
    }

    CString strReason;
    if (WriteTextFile(strPath, BuildListText(list), strReason))
        return true;
    AfxMessageBox((strPath + "\nThe list could not be saved: " + strReason + ".").c_str());
    return false;
}
