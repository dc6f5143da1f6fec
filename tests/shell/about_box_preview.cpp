// Shows the about box, centred on the screen, and closes it after the number of
// seconds given on the command line (default 5). Used for the screenshot in docs/:
//   wine veyra_about_preview.exe 8 & sleep 4; import -window root shot.png
#include "shell/about_dlg.h"
#include "shell/win_app.h"

#include <cstdlib>

namespace
{
void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR, DWORD)
{
    ::EndDialog(::GetActiveWindow(), IDOK);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCommandLine, int)
{
    InitCommonControlClasses();
    const int nSeconds = *pszCommandLine != '\0' ? std::atoi(pszCommandLine) : 5;
    ::SetTimer(nullptr, 0, static_cast<UINT>(nSeconds) * 1000, &CloseAboutBox);
    CAboutDlg dlg;
    return dlg.DoModal() == IDOK ? 0 : 1;
}
