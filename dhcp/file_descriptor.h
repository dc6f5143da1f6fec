// CFileDescriptor: owns one POSIX file descriptor and closes it.
#pragma once

#include <unistd.h>

class CFileDescriptor
{
public:
    explicit CFileDescriptor(int nFd) : m_nFd(nFd) {}
    ~CFileDescriptor()
    {
        if (m_nFd >= 0)
            close(m_nFd);
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return m_nFd; }
    bool IsOpen() const { return m_nFd >= 0; }

private:
    int m_nFd;
};
