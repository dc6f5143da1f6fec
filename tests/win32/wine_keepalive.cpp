// Keeps Wine's desktop and server alive while the test suite runs, so that no
// test pays for starting them or waits for them to go away. It owns one hidden
// window, says "ready" on its standard output once that window (and with it the
// desktop) exists, and runs until the Wine server is stopped.
#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    const HWND hWnd = CreateWindowExA(0, "STATIC", "veyra keepalive", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, hInstance, nullptr);
    if (hWnd != nullptr)
    {
        DWORD dwWritten = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &dwWritten, nullptr);
    }
    MSG msg;
    while (hWnd != nullptr && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
