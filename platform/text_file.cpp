#include "platform/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool WriteTextFile(const CString& strPath, const CString& strText, CString& strReason)
{
    std::FILE* pFile = std::fopen(strPath.c_str(), "w+t");
    if (pFile == nullptr)
    {
        strReason = std::strerror(errno);
        return false;
    }
    // A full disk may show only when the buffered bytes go out: at the flush,
    // or at the close.
    const bool bWritten = std::fwrite(strText.data(), 1, strText.size(), pFile) == strText.size() &&
                          std::fflush(pFile) == 0;
    const int nWriteError = errno;
    const bool bClosed = std::fclose(pFile) == 0;
    if (bWritten && bClosed)
        return true;
    strReason = std::strerror(bWritten ? errno : nWriteError);
    return false;
}
