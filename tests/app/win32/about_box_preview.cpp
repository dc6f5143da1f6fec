// Shows the about box, centred on the screen and active, and closes it after the
// number of seconds given on the command line (default 5). Used for the
// screenshot in docs/, under Xvfb:
//   wine veyra_about_preview.exe 8 & sleep 4; import -window root shot.png
#include "app/win32/about_dlg.h"
#include "shell/win_app.h"

#include <cstdlib>

namespace
{
UINT_PTR g_nCloseTimer = 0;

// Without a window manager nothing brings the box to the front or draws its
// caption as active: do both once it is up, then close it when its time has come.
void CALLBACK OnTimer(HWND, UINT, UINT_PTR nID, DWORD)
{
    const HWND hBox = ::FindWindowA("#32770", "About Veyra");
    if (nID == g_nCloseTimer)
        ::EndDialog(hBox, IDOK);
    else if (hBox != nullptr && ::SetForegroundWindow(hBox))
        ::SendMessageA(hBox, WM_NCACTIVATE, TRUE, 0);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCommandLine, int)
{
    InitCommonControlClasses();
    const int nSeconds = *pszCommandLine != '\0' ? std::atoi(pszCommandLine) : 5;
    g_nCloseTimer = ::SetTimer(nullptr, 0, static_cast<UINT>(nSeconds) * 1000, &OnTimer);
    ::SetTimer(nullptr, 0, 500, &OnTimer);
    CAboutDlg dlg;
    return dlg.DoModal() == IDOK ? 0 : 1;
}
