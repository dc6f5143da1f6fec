#include "adapters/bounded_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int ReadBoundedFile(const std::string& strPath, std::string& strContent)
{
    strContent.clear();
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int hFile = open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (hFile < 0)
        return errno;
    int nError = 0;
    struct stat status;
    if (fstat(hFile, &status) != 0)
        nError = errno;
    else if (!S_ISREG(status.st_mode))
        nError = EINVAL;
    // The size may change while the file is read, so the bytes read are counted.
    char chunk[4096];
    while (nError == 0)
    {
        const ssize_t nRead = read(hFile, chunk, sizeof chunk);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead < 0)
            nError = errno;
        if (nRead <= 0)
            break;
        if (strContent.size() + static_cast<std::size_t>(nRead) > kMaxBoundedFile)
            nError = EFBIG;
        else
            strContent.append(chunk, static_cast<std::size_t>(nRead));
    }
    close(hFile);
    if (nError != 0)
        strContent.clear();
    return nError;
}
