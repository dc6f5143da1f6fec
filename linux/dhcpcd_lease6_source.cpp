#include "linux/dhcpcd_lease6_source.h"

#include "core/wire/dhcpv6_message.h"
#include "platform/bounded_file.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <sys/stat.h>

namespace
{
// A DHCPv6 message is one UDP datagram.
constexpr std::size_t kMaxDhcpv6Message = 65535 - 8;

// True for a lease of no address (a delegated prefix or options alone).
bool HoldsAnyOf(const LeaseInterface& iface, const std::vector<Ipv6Address>& leased)
{
    const std::vector<Ipv6Address>& held = iface.ipv6Addresses;
    return leased.empty() ||
           std::any_of(leased.begin(), leased.end(),
                       [&held](const Ipv6Address& address)
                       { return std::find(held.begin(), held.end(), address) != held.end(); });
}

class DhcpcdLease6Source final : public Lease6Source
{
public:
    DhcpcdLease6Source(const LinuxPaths& paths, std::chrono::milliseconds socketTimeout)
        : m_directory(paths.m_strDhcpcd), m_run(paths.m_strRun), m_socketTimeout(socketTimeout)
    {
    }

    const char* Name() const override { return "dhcpcd"; }

    int Read(const LeaseInterface& iface, Lease6& lease) override
    {
        const std::string& name = iface.m_strName;
        if (name.empty() || name.find('/') != std::string::npos ||
            name.find("..") != std::string::npos)
            return EINVAL;
        const std::string path = m_directory + "/" + name + ".lease6";
        std::string bytes;
        std::int64_t modified = 0;
        const int result =
            ReadBoundedFile(path, kMaxDhcpv6Message, SymbolicLinks::Refuse, bytes, modified);
        if (result == EACCES || result == EPERM)
            return ReadFromSocket(iface, path, lease) == 0 ? 0 : result;
        // A lease name that is not a plain file is not dhcpcd's work: absent.
        if (result == ELOOP || result == EISDIR || result == EINVAL)
            return ENOENT;
        if (result != 0)
            return result;
        auto message =
            ParseDhcpv6Message(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        if (!message || message->type != kDhcpv6Reply)
            return EBADMSG;
        // dhcpcd leaves the file behind when it stops or the lease ends: a
        // lease whose addresses are all gone from the interface is not held.
        if (!HoldsAnyOf(iface, LeasedAddresses(message->options)))
            return ENOENT;
        lease.options = std::move(message->options);
        lease.obtained = modified;
        return 0;
    }

private:
    // The lease as dhcpcd holds it, for a user who may not read its file,
    // whose modification time (a stat needs no right to read) is when it came.
    int ReadFromSocket(const LeaseInterface& iface, const std::string& path, Lease6& lease) const
    {
        Lease6 found;
        const int result = ReadDhcpcdLease6FromSocket(m_run, iface, m_socketTimeout, found);
        if (result != 0)
            return result;
        struct stat status = {};
        if (lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            found.obtained = status.st_mtime;
        lease = std::move(found);
        return 0;
    }

    std::string m_directory;
    std::string m_run;
    std::chrono::milliseconds m_socketTimeout;
};
} // namespace

std::unique_ptr<Lease6Source> MakeDhcpcdLease6Source(const LinuxPaths& paths,
                                                     std::chrono::milliseconds socketTimeout)
{
    return std::make_unique<DhcpcdLease6Source>(paths, socketTimeout);
}
