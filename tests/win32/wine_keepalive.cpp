// Keeps Wine's desktop and server alive while the test suite runs, so that no
// test pays for starting them or waits for them to go away. It owns one hidden
// window and runs until the Wine server is stopped.
#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    const HWND hWnd = CreateWindowExA(0, "STATIC", "veyra keepalive", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, hInstance, nullptr);
    MSG msg;
    while (hWnd != nullptr && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
