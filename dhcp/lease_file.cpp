#include "dhcp/lease_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{
// Closes the descriptor on every way out.
class CFileDescriptor
{
public:
    explicit CFileDescriptor(int nDescriptor) : m_nDescriptor(nDescriptor) {}
    ~CFileDescriptor()
    {
        if (m_nDescriptor >= 0)
            close(m_nDescriptor);
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return m_nDescriptor; }

private:
    int m_nDescriptor;
};
} // namespace

int ReadLeaseFile(const std::string& strPath, std::string& text, std::int64_t& tModified)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const CFileDescriptor file(open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0)
        return errno;
    struct stat status
    {
    };
    if (fstat(file.Get(), &status) != 0)
        return errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    if (!S_ISREG(status.st_mode))
        return EINVAL;
    if (status.st_size < 0 || static_cast<std::uint64_t>(status.st_size) > kMaxLeaseFileBytes)
        return EFBIG;

    // The file may grow while it is read: read one byte past the limit to see it.
    std::string buffer(kMaxLeaseFileBytes + 1, '\0');
    std::size_t nRead = 0;
    while (nRead < buffer.size())
    {
        const ssize_t nChunk = read(file.Get(), &buffer[nRead], buffer.size() - nRead);
        if (nChunk < 0 && errno == EINTR)
            continue;
        if (nChunk < 0)
            return errno;
        if (nChunk == 0)
            break;
        nRead += static_cast<std::size_t>(nChunk);
    }
    if (nRead > kMaxLeaseFileBytes)
        return EFBIG;
    buffer.resize(nRead);
    text = std::move(buffer);
    tModified = status.st_mtim.tv_sec;
    return 0;
}
