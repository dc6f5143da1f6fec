#include "dhcp/dhcpcd_lease_source.h"

#include "dhcp/bootp_message.h"
#include "platform/file_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace
{
constexpr std::uint32_t kInfiniteLease = 0xFFFFFFFF;

// Reads a whole regular file of at most kMaxBootpMessage bytes. Symbolic links
// and other kinds of file are refused as absent: dhcpcd writes plain files,
// and a FIFO or device there could block us or never end.
int ReadLeaseFile(const std::string& strPath, std::vector<std::uint8_t>& bytes,
                  std::int64_t& tModified)
{
    const CFileDescriptor file(
        open(strPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen())
        return errno == ELOOP ? ENOENT : errno;
    struct stat status = {};
    if (fstat(file.Get(), &status) != 0)
        return errno;
    if (!S_ISREG(status.st_mode))
        return ENOENT;
    if (status.st_size > static_cast<off_t>(kMaxBootpMessage))
        return EFBIG;
    tModified = status.st_mtime;

    // One byte more than allowed tells a file that grew since fstat.
    bytes.resize(kMaxBootpMessage + 1);
    std::size_t nRead = 0;
    while (nRead < bytes.size())
    {
        const ssize_t nChunk = read(file.Get(), bytes.data() + nRead, bytes.size() - nRead);
        if (nChunk < 0 && errno == EINTR)
            continue;
        if (nChunk < 0)
            return errno;
        if (nChunk == 0)
            break;
        nRead += static_cast<std::size_t>(nChunk);
    }
    if (nRead > kMaxBootpMessage)
        return EFBIG;
    bytes.resize(nRead);
    return 0;
}

class CDhcpcdLeaseSource final : public CLeaseSource
{
public:
    explicit CDhcpcdLeaseSource(std::string strDirectory) : m_strDirectory(std::move(strDirectory))
    {
    }

    const char* Name() const override { return "dhcpcd"; }

    int Read(const LeaseInterface& iface, Lease& lease) override
    {
        const std::string& strName = iface.m_strName;
        if (strName.empty() || strName.find('/') != std::string::npos ||
            strName.find("..") != std::string::npos)
            return EINVAL;

        std::vector<std::uint8_t> bytes;
        std::int64_t tModified = 0;
        const int nResult =
            ReadLeaseFile(m_strDirectory + "/" + strName + ".lease", bytes, tModified);
        if (nResult != 0)
            return nResult;

        const std::optional<BootpMessage> message = ParseBootpMessage(bytes.data(), bytes.size());
        if (!message || message->m_nOp != kBootReply || MessageType(*message) != kDhcpAck)
            return EBADMSG;
        const std::vector<std::uint32_t>& addresses = iface.m_IpAddresses;
        if (message->m_nYourAddress == 0 || std::find(addresses.begin(), addresses.end(),
                                                      message->m_nYourAddress) == addresses.end())
            return ENOENT;

        lease.m_mapOptions = message->m_mapOptions;
        lease.m_nYourAddress = message->m_nYourAddress;
        // dhcpcd writes the file when the ACK arrives.
        lease.m_tObtained = tModified;
        const auto leaseTime = lease.m_mapOptions.find(kOptionLeaseTime);
        if (leaseTime != lease.m_mapOptions.end() && leaseTime->second.size() == 4)
        {
            const OptionBytes& b = leaseTime->second;
            const std::uint32_t nSeconds = static_cast<std::uint32_t>(b[0]) << 24 |
                                           static_cast<std::uint32_t>(b[1]) << 16 |
                                           static_cast<std::uint32_t>(b[2]) << 8 | b[3];
            if (nSeconds != kInfiniteLease)
                lease.m_tExpires = tModified + nSeconds;
        }
        return 0;
    }

private:
    std::string m_strDirectory;
};
} // namespace

std::unique_ptr<CLeaseSource> MakeDhcpcdLeaseSource(const LinuxPaths& paths)
{
    return std::make_unique<CDhcpcdLeaseSource>(paths.m_strDhcpcd);
}
