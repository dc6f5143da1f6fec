// Shows the main window after a request, with prepared adapters and a typical
// home router's answer, and closes it after the number of seconds given on the
// command line (default 5). Used for the screenshot in docs/, under Xvfb:
//   wine veyra_main_window_preview.exe 8 & sleep 4; import -window root shot.png
#include "app/win32/query_dlg.h"
#include "app/win32/res/resource.h"
#include "shell/win_app.h"
#include "testing/prepared_ip_helper.h"
#include "testing/scripted_dhcp_client.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
UINT_PTR g_nCloseTimer = 0;
bool g_bRequested = false;

// Without a window manager nothing brings the window to the front or draws its
// caption as active: do both once it is up, press "Send DHCP Request" and select
// a row as a click would, then close the window when its time has come.
void CALLBACK OnTimer(HWND, UINT, UINT_PTR nID, DWORD)
{
    const HWND hDlg = ::FindWindowA("#32770", "Veyra");
    if (nID == g_nCloseTimer)
    {
        ::EndDialog(hDlg, IDCANCEL);
        return;
    }
    if (hDlg == nullptr || !::SetForegroundWindow(hDlg))
        return;
    ::SendMessageA(hDlg, WM_NCACTIVATE, TRUE, 0);
    if (g_bRequested)
        return;
    g_bRequested = true;
    ::SendMessageA(::GetDlgItem(hDlg, IDC_SEND_REQUEST), BM_CLICK, 0, 0);
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    const HWND hList = ::GetDlgItem(hDlg, IDC_RESULT_LIST);
    ::SendMessageA(hList, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    ::SetFocus(hList);
}

std::vector<BYTE> Text(const char* pszText)
{
    return std::vector<BYTE>(pszText, pszText + std::strlen(pszText));
}

void ScriptTypicalAnswer(CScriptedDhcpClient& service)
{
    service.SetOption(54, {192, 168, 1, 1});
    service.SetOption(12, Text("workstation-7"));
    service.SetOption(1, {255, 255, 255, 0});
    service.SetOption(15, Text("home.example"));
    service.SetOption(6, {192, 168, 1, 1, 9, 9, 9, 9});
    service.SetOption(3, {192, 168, 1, 1});
    service.SetOption(2, {0x00, 0x00, 0x0E, 0x10});
    service.SetOption(28, {192, 168, 1, 255});
    service.SetOption(42, {192, 168, 1, 1});
    service.SetOption(44, {192, 168, 1, 2});
    service.SetOption(46, {0x08});
    service.SetOption(51, {0x00, 0x01, 0x51, 0x80});
    service.SetOption(58, {0x00, 0x00, 0xA8, 0xC0});
    service.SetOption(59, {0x00, 0x01, 0x27, 0x50});
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCommandLine, int)
{
    InitCommonControlClasses();
    CScriptedDhcpClient service;
    ScriptTypicalAnswer(service);
    CPreparedIpHelper ipHelper;
    ipHelper.Add(CPreparedAdapter("{4D36E972-E325-11CE-BFC1-08002BE10318}")
                     .HardwareAddress({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    ipHelper.Add(CPreparedAdapter("{7A1F03C2-55B0-4E8D-9C1E-2D04A1B7C6E9}")
                     .HardwareAddress({0x00, 0x50, 0x56, 0xC0, 0x00, 0x08}));

    const int nSeconds = *pszCommandLine != '\0' ? std::atoi(pszCommandLine) : 5;
    g_nCloseTimer = ::SetTimer(nullptr, 0, static_cast<UINT>(nSeconds) * 1000, &OnTimer);
    ::SetTimer(nullptr, 0, 500, &OnTimer);
    CQueryDlg dlg(service, ipHelper);
    return dlg.DoModal() == IDCANCEL ? 0 : 1;
}
