// CFileDescriptor: owns one POSIX file descriptor and closes it.
#pragma once

#include <unistd.h>
#include <utility>

class CFileDescriptor
{
public:
    explicit CFileDescriptor(int nFd = -1) : m_nFd(nFd) {}
    ~CFileDescriptor() { Reset(); }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    CFileDescriptor(CFileDescriptor&& other) noexcept : m_nFd(std::exchange(other.m_nFd, -1)) {}
    CFileDescriptor& operator=(CFileDescriptor&& other) noexcept
    {
        Reset(std::exchange(other.m_nFd, -1));
        return *this;
    }

    int Get() const { return m_nFd; }
    bool IsOpen() const { return m_nFd >= 0; }

    // Closes the descriptor held, if any, and takes nFd instead.
    void Reset(int nFd = -1)
    {
        if (m_nFd >= 0)
            close(m_nFd);
        m_nFd = nFd;
    }

private:
    int m_nFd;
};
