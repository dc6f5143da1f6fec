#include "dhcp/dhcpcd_lease_source.h"

#include "dhcp/bootp_message.h"
#include "platform/bounded_file.h"

#include <algorithm>
#include <cerrno>
#include <string>

namespace
{
constexpr std::uint32_t kInfiniteLease = 0xFFFFFFFF;

// A lease name that is not a plain file is not dhcpcd's work: absent.
bool IsNotAPlainFile(int nError)
{
    return nError == ELOOP || nError == EISDIR || nError == EINVAL;
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

        std::string bytes;
        std::int64_t tModified = 0;
        const int nResult =
            ReadBoundedFile(m_strDirectory + "/" + strName + ".lease", kMaxBootpMessage,
                            SymbolicLinks::Refuse, bytes, tModified);
        if (nResult != 0)
            return IsNotAPlainFile(nResult) ? ENOENT : nResult;

        const std::optional<BootpMessage> message =
            ParseBootpMessage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
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
