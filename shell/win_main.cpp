// The program's entry point: the framework starts the application object.
#include "shell/win_app.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}
