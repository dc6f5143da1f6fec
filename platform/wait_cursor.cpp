#include "platform/wait_cursor.h"

#include "platform/wait_cursor_platform.h"

namespace
{
int g_nActive = 0;
}

CWaitCursor::CWaitCursor() : m_hRestore(ShowWaitCursor())
{
    ++g_nActive;
}

CWaitCursor::~CWaitCursor()
{
    --g_nActive;
    RestoreCursor(m_hRestore);
}

int CWaitCursor::ActiveCount()
{
    return g_nActive;
}
