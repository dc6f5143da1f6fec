// The main dialog on its real controls, with the scripted DHCP service, the
// prepared IP helper and a stand-in desktop, driven from inside its own modal
// loop. The controls are read and worked through their window messages only.
#pragma once

#include "testing/fake_shell_hooks.h"
#include "testing/prepared_ip_helper.h"
#include "testing/scripted_dhcp_client.h"
#include "tests/shell/modal_driver.h"
#include "tests/shell/readback.h"

#include <gtest/gtest.h>

#include <vector>

// One row of the results list as the list view holds it.
struct ListRow
{
    CString strParameter;
    CString strData;
    int nImage;
    LPARAM lParam;
    UINT nState;
};

class QueryDlgTest : public testing::Test
{
protected:
    // Three adapters, the third with the first one's hardware address.
    void AddThreeAdapters();
    // The options of a typical home router's answer.
    void ScriptTypicalOptions();

    // Runs a dialog made now on the scripted service and the prepared helper:
    // the steps run once its window is up, and the dialog is ended afterwards
    // if it is still there. Returns what DoModal returned.
    INT_PTR Run(std::vector<CModalDriver::Step> steps);
    // The same, for steps that end the dialog themselves.
    INT_PTR RunToItsEnd(std::vector<CModalDriver::Step> steps);

    HWND Item(int nID) const { return ::GetDlgItem(m_hDlg, nID); }
    void Click(int nID) const;
    void Command(UINT nID) const;
    void ChooseAdapter(int nIndex) const;
    void SelectRow(int nRow) const;

    std::vector<CString> ChooserEntries() const;
    int ChooserSelection() const;
    std::vector<ListRow> Rows() const;
    // The adapter names of the requests the service has seen.
    std::vector<CString> RequestedAdapters() const;

    CScriptedDhcpClient m_service;
    CPreparedIpHelper m_ipHelper;
    CFakeShellHooks m_hooks;
    HWND m_hDlg = nullptr; // the running dialog's window
};

// Puts a text of the test's own on the clipboard.
void PutOnClipboard(const CString& strText);
