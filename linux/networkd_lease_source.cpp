#include "linux/networkd_lease_source.h"

#include "core/wire/networkd_lease.h"
#include "core/wire/option_text.h"
#include "platform/bounded_file.h"

#include <cerrno>
#include <string>
#include <utility>

namespace
{
class CNetworkdLeaseSource final : public CLeaseSource
{
public:
    explicit CNetworkdLeaseSource(std::string strRun) : m_strRun(std::move(strRun)) {}

    const char* Name() const override { return "networkd"; }
    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    std::string m_strRun;
};

int CNetworkdLeaseSource::Read(const LeaseInterface& iface, Lease& lease)
{
    if (iface.m_nIndex == 0)
        return ENOENT; // no interface has index 0
    std::string text;
    std::int64_t tModified = 0;
    const int nRead =
        ReadBoundedFile(m_strRun + "/systemd/netif/leases/" + std::to_string(iface.m_nIndex),
                        kMaxFileBytes, SymbolicLinks::Refuse, text, tModified);
    if (nRead != 0)
        return nRead;
    const int nParsed = ParseNetworkdLease(text, lease);
    if (nParsed != 0)
        return nParsed;
    lease.m_tObtained = tModified;
    if (const auto nSeconds = FiniteLeaseSeconds(lease.m_mapOptions))
        lease.m_tExpires = tModified + *nSeconds;
    return 0;
}
} // namespace

std::unique_ptr<CLeaseSource> MakeNetworkdLeaseSource(const LinuxPaths& paths)
{
    return std::make_unique<CNetworkdLeaseSource>(paths.m_strRun);
}
