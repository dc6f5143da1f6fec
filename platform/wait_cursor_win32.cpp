#include "platform/platform_types.h"
#include "platform/wait_cursor_platform.h"

void* ShowWaitCursor()
{
    return SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void RestoreCursor(void* hCursor)
{
    SetCursor(static_cast<HCURSOR>(hCursor));
}
