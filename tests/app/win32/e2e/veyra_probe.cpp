// Looks at a running Veyra.exe and at the system from outside, for the end-to-
// end test:
//   veyra_probe adapters   the hardware address text and name of each adapter
//                          the IP helper reports, one "MAC<TAB>name" a line
//   veyra_probe chooser    the entries of the main window's adapter chooser,
//                          one a line, then "selected N"
//   veyra_probe settled    waits until the main window takes messages again,
//                          then prints "ready", or "message box" when a message
//                          box holds it
// Exits with 1 when there is no main window (or no answer in time).
#include "platform/platform_types.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
constexpr int kAdapterCombo = 1003;

int PrintAdapters()
{
    ULONG nSize = 0;
    if (GetAdaptersInfo(nullptr, &nSize) != ERROR_BUFFER_OVERFLOW)
        return 0; // no adapters: nothing to print
    std::vector<unsigned char> block(nSize);
    auto* pFirst = reinterpret_cast<IP_ADAPTER_INFO*>(block.data());
    if (GetAdaptersInfo(pFirst, &nSize) != NO_ERROR)
        return 1;
    for (const IP_ADAPTER_INFO* p = pFirst; p != nullptr; p = p->Next)
        std::printf("%02X:%02X:%02X:%02X:%02X:%02X\t%s\n", p->Address[0], p->Address[1],
                    p->Address[2], p->Address[3], p->Address[4], p->Address[5], p->AdapterName);
    return 0;
}

// The main window: the dialog captioned "Veyra" that holds the chooser (a
// message box carries the same caption).
HWND MainWindow()
{
    HWND hWnd = nullptr;
    while ((hWnd = FindWindowExA(nullptr, hWnd, "#32770", "Veyra")) != nullptr)
        if (GetDlgItem(hWnd, kAdapterCombo) != nullptr)
            return hWnd;
    return nullptr;
}

int PrintChooser(HWND hDlg)
{
    const HWND hCombo = GetDlgItem(hDlg, kAdapterCombo);
    const auto nCount = static_cast<int>(SendMessageA(hCombo, CB_GETCOUNT, 0, 0));
    for (int n = 0; n < nCount; ++n)
    {
        // The wide form: the text crosses the process boundary as it is.
        wchar_t szText[256] = {};
        SendMessageW(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(n),
                     reinterpret_cast<LPARAM>(szText));
        std::printf("%ls\n", szText);
    }
    std::printf("selected %d\n", static_cast<int>(SendMessageA(hCombo, CB_GETCURSEL, 0, 0)));
    return 0;
}

// A window that answers a message is back in a message loop: its own, or the
// one of a message box that it owns and that keeps it disabled.
int PrintSettled(HWND hDlg)
{
    DWORD_PTR nResult = 0;
    if (SendMessageTimeoutA(hDlg, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &nResult) == 0)
        return 1;
    std::printf("%s\n", IsWindowEnabled(hDlg) ? "ready" : "message box");
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    if (std::strcmp(argv[1], "adapters") == 0)
        return PrintAdapters();
    const HWND hDlg = MainWindow();
    if (hDlg == nullptr)
        return 1;
    if (std::strcmp(argv[1], "chooser") == 0)
        return PrintChooser(hDlg);
    if (std::strcmp(argv[1], "settled") == 0)
        return PrintSettled(hDlg);
    return 2;
}
