// A file reader that fails or cuts reads short on a script: each step is the
// most bytes one read may pass on from the real file, or a failure with an
// errno value. Reads past the script behave like the system's.
#pragma once

#include "platform/bounded_file.h"

#include <cerrno>
#include <cstddef>
#include <utility>
#include <vector>

#include <unistd.h>

struct FileReadStep
{
    std::size_t m_nMostBytes = 0; // when m_nError is 0
    int m_nError = 0;
};

class CFaultyFileReader final : public CFileReader
{
public:
    explicit CFaultyFileReader(std::vector<FileReadStep> steps) : m_steps(std::move(steps)) {}

    ssize_t Read(int hFile, void* pBuffer, std::size_t nBytes) override
    {
        if (m_nNext == m_steps.size())
            return read(hFile, pBuffer, nBytes);
        const FileReadStep& step = m_steps[m_nNext++];
        if (step.m_nError != 0)
        {
            errno = step.m_nError;
            return -1;
        }
        return read(hFile, pBuffer, nBytes < step.m_nMostBytes ? nBytes : step.m_nMostBytes);
    }

    std::size_t StepsTaken() const { return m_nNext; }

private:
    std::vector<FileReadStep> m_steps;
    std::size_t m_nNext = 0;
};
