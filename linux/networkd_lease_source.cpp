#include "linux/networkd_lease_source.h"

#include "core/model/lease_moments.h"
#include "core/wire/networkd_lease.h"
#include "core/wire/option_text.h"
#include "platform/bounded_file.h"
#include "platform/directory_listing.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace
{
class CNetworkdLeaseSource final : public CLeaseSource
{
public:
    explicit CNetworkdLeaseSource(const std::string& strRun)
        : m_strDirectory(strRun + "/systemd/netif/leases/")
    {
    }

    const char* Name() const override { return "networkd"; }
    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    // False only when the folder, listed once for the source's run, was read
    // and holds no such file: every adapter is looked for in one listing.
    bool MayHold(const std::string& strFile)
    {
        if (!m_bListed)
        {
            m_bListed = true;
            m_bListingRead = ListDirectory(m_strDirectory, kMaxDirectoryNames, m_Names) == 0;
        }
        return !m_bListingRead || std::binary_search(m_Names.begin(), m_Names.end(), strFile);
    }

    std::string m_strDirectory;
    bool m_bListed = false;
    bool m_bListingRead = false;
    std::vector<std::string> m_Names;
};

int CNetworkdLeaseSource::Read(const LeaseInterface& iface, Lease& lease)
{
    if (iface.m_nIndex == 0)
        return ENOENT; // no interface has index 0
    const std::string strFile = std::to_string(iface.m_nIndex);
    if (!MayHold(strFile))
        return ENOENT;
    std::string text;
    std::int64_t tModified = 0;
    const int nRead = ReadBoundedFile(m_strDirectory + strFile, kMaxFileBytes,
                                      SymbolicLinks::Refuse, text, tModified);
    if (nRead != 0)
        return nRead;
    const int nParsed = ParseNetworkdLease(text, lease);
    if (nParsed != 0)
        return nParsed;
    lease.m_tObtained = tModified;
    if (const auto nSeconds = FiniteLeaseSeconds(lease.m_mapOptions))
        lease.m_tExpires = MomentAfter(tModified, *nSeconds);
    return 0;
}
} // namespace

std::unique_ptr<CLeaseSource> MakeNetworkdLeaseSource(const LinuxPaths& paths)
{
    return std::make_unique<CNetworkdLeaseSource>(paths.m_strRun);
}
