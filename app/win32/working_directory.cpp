#include "app/win32/working_directory.h"

#include "platform/platform_types.h"

#include <vector>

CWorkingDirectory::CWorkingDirectory() : m_strPath(Current()) {}

CWorkingDirectory::~CWorkingDirectory()
{
    if (!m_strPath.empty())
        ::SetCurrentDirectoryA(m_strPath.c_str());
}

CString CWorkingDirectory::Current()
{
    // Asked without a buffer, the system answers the size it needs, zero byte
    // included; asked with one, the length it copied, or again the size needed
    // if the directory has grown in between.
    DWORD nSize = ::GetCurrentDirectoryA(0, nullptr);
    while (nSize != 0)
    {
        std::vector<char> path(nSize);
        const DWORD nLength = ::GetCurrentDirectoryA(nSize, path.data());
        if (nLength < nSize)
            return CString(path.data(), nLength);
        nSize = nLength;
    }
    return CString();
}
