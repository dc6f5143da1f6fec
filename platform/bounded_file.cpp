#include "platform/bounded_file.h"

#include "platform/file_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{
// Files such as sysfs's report a size of 4096 or 0 whatever they hold.
constexpr std::size_t kFirstChunk = 4096;

class CSystemFileReader final : public CFileReader
{
public:
    ssize_t Read(int hFile, void* pBuffer, std::size_t nBytes) override
    {
        return read(hFile, pBuffer, nBytes);
    }
};

int ReadWhole(int hFile, std::size_t nExpected, std::size_t nMaxBytes, CFileReader& reader,
              std::string& strContent)
{
    // One byte more than allowed tells a file that grew past the limit.
    std::string buffer(std::min(std::max(nExpected, kFirstChunk), nMaxBytes) + 1, '\0');
    std::size_t nRead = 0;
    for (;;)
    {
        if (nRead == buffer.size())
        {
            if (nRead > nMaxBytes)
                return EFBIG;
            buffer.resize(std::min(2 * buffer.size(), nMaxBytes + 1));
        }
        const ssize_t nChunk = reader.Read(hFile, &buffer[nRead], buffer.size() - nRead);
        if (nChunk < 0 && errno == EINTR)
            continue;
        if (nChunk < 0)
            return errno;
        if (nChunk == 0)
            break;
        nRead += static_cast<std::size_t>(nChunk);
    }
    buffer.resize(nRead);
    strContent = std::move(buffer);
    return 0;
}
} // namespace

CFileReader& SystemFileReader()
{
    static CSystemFileReader reader;
    return reader;
}

int ReadBoundedFile(const std::string& strPath, std::size_t nMaxBytes, SymbolicLinks links,
                    std::string& strContent, std::int64_t& tModified, CFileReader& reader)
{
    strContent.clear();
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    int nFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (links == SymbolicLinks::Refuse)
        nFlags |= O_NOFOLLOW;
    const CFileDescriptor file(open(strPath.c_str(), nFlags));
    if (!file.IsOpen())
        return errno;
    struct stat status = {};
    if (fstat(file.Get(), &status) != 0)
        return errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    if (!S_ISREG(status.st_mode))
        return EINVAL;
    if (status.st_size < 0 || static_cast<std::uint64_t>(status.st_size) > nMaxBytes)
        return EFBIG;
    const int nResult = ReadWhole(file.Get(), static_cast<std::size_t>(status.st_size), nMaxBytes,
                                  reader, strContent);
    if (nResult == 0)
        tModified = status.st_mtime;
    return nResult;
}

int ReadBoundedFile(const std::string& strPath, std::size_t nMaxBytes, SymbolicLinks links,
                    std::string& strContent)
{
    std::int64_t tModified = 0;
    return ReadBoundedFile(strPath, nMaxBytes, links, strContent, tModified);
}
