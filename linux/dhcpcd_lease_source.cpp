#include "linux/dhcpcd_lease_source.h"

#include "core/model/lease_moments.h"
#include "core/options/option_decoder.h"
#include "core/wire/bootp_message.h"
#include "core/wire/byte_order.h"
#include "platform/bounded_file.h"
#include "platform/directory_listing.h"

#include <algorithm>
#include <cerrno>
#include <net/if.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{
// Per-network leases looked at for one interface: a folder that holds more
// is not dhcpcd's doing.
constexpr std::size_t kMaxNetworkLeases = 64;

// A lease name that is not a plain file is not dhcpcd's work: absent.
bool IsNotAPlainFile(int nError)
{
    return nError == ELOOP || nError == EISDIR || nError == EINVAL;
}

class CDhcpcdLeaseSource final : public CLeaseSource
{
public:
    CDhcpcdLeaseSource(const LinuxPaths& paths, std::chrono::milliseconds socketTimeout)
        : m_strDirectory(paths.m_strDhcpcd), m_strRun(paths.m_strRun),
          m_socketTimeout(socketTimeout)
    {
    }

    const char* Name() const override { return "dhcpcd"; }

    // The interface's own lease, or on a wireless interface one lease per
    // network, <if>-<ssid>.lease: the one whose address the interface has
    // now, the newest if several have it.
    int Read(const LeaseInterface& iface, Lease& lease) override
    {
        const std::string& strName = iface.m_strName;
        if (strName.empty() || strName.find('/') != std::string::npos ||
            strName.find("..") != std::string::npos)
            return EINVAL;

        int nFailure = ENOENT;
        bool bFound = false;
        const std::vector<std::string> files = LeaseFiles(strName);
        for (const std::string& strFile : files)
        {
            Lease candidate;
            const int nResult = ReadLease(m_strDirectory + "/" + strFile, iface, candidate);
            if (nResult == 0 && (!bFound || candidate.m_tObtained > lease.m_tObtained))
            {
                lease = std::move(candidate);
                bFound = true;
            }
            else if (nResult != 0 && nResult != ENOENT && nFailure == ENOENT)
            {
                nFailure = nResult;
            }
        }
        if (bFound)
            return 0;
        if (nFailure == EACCES || nFailure == EPERM)
            return ReadFromSocket(iface, files, lease) == 0 ? 0 : nFailure;
        return nFailure;
    }

private:
    // <if>.lease, then the per-network leases of the folder. A name such as
    // "wlan0-guest.lease" may also be the plain lease of an interface called
    // "wlan0-guest": that one is left to its own interface. Without a listing
    // of the folder, only <if>.lease is tried.
    std::vector<std::string> LeaseFiles(const std::string& strName)
    {
        const std::string strOwn = strName + ".lease";
        const std::vector<std::string>* pNames = Listing();
        if (pNames == nullptr)
            return {strOwn};
        std::vector<std::string> files;
        if (std::binary_search(pNames->begin(), pNames->end(), strOwn))
            files.push_back(strOwn);
        const std::string strPrefix = strName + "-";
        const std::string strSuffix = ".lease";
        for (auto it = std::lower_bound(pNames->begin(), pNames->end(), strPrefix);
             it != pNames->end() && it->compare(0, strPrefix.size(), strPrefix) == 0 &&
             files.size() <= kMaxNetworkLeases;
             ++it)
        {
            const std::string& strFile = *it;
            if (strFile.size() <= strPrefix.size() + strSuffix.size() ||
                strFile.compare(strFile.size() - strSuffix.size(), strSuffix.size(), strSuffix) !=
                    0)
                continue;
            const std::string strStem = strFile.substr(0, strFile.size() - strSuffix.size());
            if (if_nametoindex(strStem.c_str()) == 0)
                files.push_back(strFile);
        }
        return files;
    }

    // The folder's names, listed once for the source's run: every adapter's
    // lease is looked for in the same listing.
    const std::vector<std::string>* Listing()
    {
        if (!m_bListed)
        {
            m_bListed = true;
            m_bListingRead = ListDirectory(m_strDirectory, kMaxDirectoryNames, m_Names) == 0;
        }
        return m_bListingRead ? &m_Names : nullptr;
    }

    // The lease as dhcpcd holds it, for a user who may not read its files.
    // Their modification time (a stat needs no right to read) is when the
    // newest lease came.
    int ReadFromSocket(const LeaseInterface& iface, const std::vector<std::string>& files,
                       Lease& lease) const
    {
        Lease found;
        const int nResult = ReadDhcpcdLeaseFromSocket(m_strRun, iface, m_socketTimeout, found);
        if (nResult != 0)
            return nResult;
        for (const std::string& strFile : files)
        {
            struct stat status = {};
            if (lstat((m_strDirectory + "/" + strFile).c_str(), &status) == 0 &&
                S_ISREG(status.st_mode) &&
                (!found.m_tObtained || status.st_mtime > *found.m_tObtained))
                found.m_tObtained = status.st_mtime;
        }
        SetExpiry(found);
        lease = std::move(found);
        return 0;
    }

    // The end of a finite lease, counted from when it was obtained.
    static void SetExpiry(Lease& lease)
    {
        const auto leaseTime = lease.m_mapOptions.find(kOptionLeaseTime);
        if (lease.m_tObtained && leaseTime != lease.m_mapOptions.end() &&
            leaseTime->second.size() == 4)
        {
            const std::uint32_t nSeconds = ReadBe32(leaseTime->second.data());
            if (nSeconds != kInfiniteLease)
                lease.m_tExpires = MomentAfter(*lease.m_tObtained, nSeconds);
        }
    }

    static int ReadLease(const std::string& strPath, const LeaseInterface& iface, Lease& lease)
    {
        std::string bytes;
        std::int64_t tModified = 0;
        const int nResult =
            ReadBoundedFile(strPath, kMaxBootpMessage, SymbolicLinks::Refuse, bytes, tModified);
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
        SetExpiry(lease);
        return 0;
    }

    std::string m_strDirectory;
    std::string m_strRun;
    std::chrono::milliseconds m_socketTimeout;
    bool m_bListed = false;
    bool m_bListingRead = false;
    std::vector<std::string> m_Names;
};
} // namespace

std::unique_ptr<CLeaseSource> MakeDhcpcdLeaseSource(const LinuxPaths& paths,
                                                    std::chrono::milliseconds socketTimeout)
{
    return std::make_unique<CDhcpcdLeaseSource>(paths, socketTimeout);
}
