#include "tests/app/win32/query_dlg_fixture.h"

#include "app/win32/query_dlg.h"
#include "app/win32/res/resource.h"
#include "shell/clipboard.h"

void QueryDlgTest::AddThreeAdapters()
{
    m_ipHelper.Add(CPreparedAdapter("{A1}").HardwareAddress({0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}));
    m_ipHelper.Add(CPreparedAdapter("{B2}").HardwareAddress({0x00, 0x50, 0x56, 0xC0, 0x00, 0x08}));
    m_ipHelper.Add(CPreparedAdapter("{C3}").HardwareAddress({0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}));
}

void QueryDlgTest::ScriptTypicalOptions()
{
    m_service.SetOption(1, {255, 255, 255, 0});
    m_service.SetOption(3, {192, 168, 1, 1});
    m_service.SetOption(6, {192, 168, 1, 53, 192, 168, 1, 54});
    m_service.SetOption(12, {0}); // a host name that is empty
    m_service.SetOption(15, {'h', 'o', 'm', 'e', '.', 'e', 'x', 'a', 'm', 'p', 'l', 'e'});
    m_service.SetOption(54, {192, 168, 1, 1});
}

INT_PTR QueryDlgTest::Run(std::vector<CModalDriver::Step> steps)
{
    steps.push_back(
        [this]
        {
            if (::IsWindow(m_hDlg))
                ::EndDialog(m_hDlg, IDABORT);
            return true;
        });
    return RunToItsEnd(std::move(steps));
}

INT_PTR QueryDlgTest::RunToItsEnd(std::vector<CModalDriver::Step> steps)
{
    CQueryDlg dlg(m_service, m_ipHelper);
    steps.insert(steps.begin(),
                 [&]
                 {
                     m_hDlg = dlg.m_hWnd;
                     return DialogIsUp(m_hDlg);
                 });
    CModalDriver driver(std::move(steps));
    const INT_PTR nResult = dlg.DoModal();
    EXPECT_TRUE(driver.Finished());
    return nResult;
}

void QueryDlgTest::Click(int nID) const
{
    ::SendMessageA(Item(nID), BM_CLICK, 0, 0);
}

void QueryDlgTest::Command(UINT nID) const
{
    ::SendMessageA(m_hDlg, WM_COMMAND, nID, 0);
}

// As the user's choice does: the combo box selects, then tells its dialog.
void QueryDlgTest::ChooseAdapter(int nIndex) const
{
    const HWND hCombo = Item(IDC_ADAPTER_COMBO);
    ::SendMessageA(hCombo, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    ::SendMessageA(m_hDlg, WM_COMMAND, MAKEWPARAM(IDC_ADAPTER_COMBO, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(hCombo));
}

void QueryDlgTest::SelectRow(int nRow) const
{
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(Item(IDC_RESULT_LIST), LVM_SETITEMSTATE, static_cast<WPARAM>(nRow),
                   reinterpret_cast<LPARAM>(&state));
}

std::vector<CString> QueryDlgTest::ChooserEntries() const
{
    const HWND hCombo = Item(IDC_ADAPTER_COMBO);
    std::vector<CString> entries;
    const auto nCount = static_cast<int>(::SendMessageA(hCombo, CB_GETCOUNT, 0, 0));
    for (int n = 0; n < nCount; ++n)
    {
        char szText[64] = {};
        ::SendMessageA(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(n),
                       reinterpret_cast<LPARAM>(szText));
        entries.emplace_back(szText);
    }
    return entries;
}

int QueryDlgTest::ChooserSelection() const
{
    return static_cast<int>(::SendMessageA(Item(IDC_ADAPTER_COMBO), CB_GETCURSEL, 0, 0));
}

std::vector<ListRow> QueryDlgTest::Rows() const
{
    const HWND hList = Item(IDC_RESULT_LIST);
    std::vector<ListRow> rows;
    const auto nCount = static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int n = 0; n < nCount; ++n)
    {
        char szParameter[256] = {};
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.stateMask = ~0u;
        item.iItem = n;
        item.pszText = szParameter;
        item.cchTextMax = sizeof szParameter;
        ::SendMessageA(hList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));

        char szData[256] = {};
        LVITEMA subItem{};
        subItem.iSubItem = 1;
        subItem.pszText = szData;
        subItem.cchTextMax = sizeof szData;
        ::SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(n),
                       reinterpret_cast<LPARAM>(&subItem));
        rows.push_back({szParameter, szData, item.iImage, item.lParam, item.state});
    }
    return rows;
}

std::vector<CString> QueryDlgTest::RequestedAdapters() const
{
    std::vector<CString> names;
    for (const ScriptedDhcpCall& call : m_service.Calls())
        names.push_back(call.strAdapterName);
    return names;
}

void PutOnClipboard(const CString& strText)
{
    ASSERT_TRUE(CopyTextToClipboard(nullptr, strText));
}
