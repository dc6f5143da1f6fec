#include "platform/wait_cursor_platform.h"

// A command-line program has no pointer to change.
void* ShowWaitCursor()
{
    return nullptr;
}

void RestoreCursor(void*) {}
