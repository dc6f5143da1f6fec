// The yardstick for Veyra.exe's start-up: a Win32 program that shows one
// dialog from its template and does nothing else. Built the same way as
// Veyra.exe (same compiler, flags and static runtime).
#include <windows.h>

namespace
{
INT_PTR CALLBACK DialogProc(HWND hDlg, UINT nMessage, WPARAM wParam, LPARAM)
{
    if (nMessage == WM_INITDIALOG)
        return TRUE;
    if (nMessage == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
    {
        EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(1), nullptr, &DialogProc, 0);
    return 0;
}
