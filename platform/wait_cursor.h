// CWaitCursor: shows the busy cursor for the lifetime of the object.
#pragma once

class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Number of wait cursors alive now; lets a test see that every way out ends one.
    static int ActiveCount();

private:
    void* m_hRestore; // the cursor to put back, where the platform has one
};
