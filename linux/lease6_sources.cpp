#include "linux/lease6_sources.h"

#include "linux/dhclient_lease6_source.h"
#include "linux/dhcpcd_lease6_source.h"
#include "linux/lease6_chain.h"
#include "linux/networkd_lease6_source.h"
#include "linux/nm_lease6_source.h"

#include <cerrno>

std::unique_ptr<Lease6Source> MakeLinuxLease6Sources(const LinuxPaths& paths,
                                                     std::chrono::milliseconds busTimeout)
{
    std::vector<std::unique_ptr<Lease6Source>> sources;
    sources.push_back(MakeDhcpcdLease6Source(paths));
    sources.push_back(MakeNetworkdLease6Source(paths));
    sources.push_back(MakeDhclientLease6Source(paths));
    sources.push_back(MakeNetworkManagerLease6Source(busTimeout));
    return std::make_unique<Lease6Chain>(std::move(sources));
}

int ReadAdapterLease6(const std::optional<LeaseInterface>& iface, Lease6Source& leases,
                      Lease6& lease)
{
    lease = Lease6();
    if (!iface)
        return ENODEV;
    const int result = leases.Read(*iface, lease);
    // A chain names its sources itself; a single source is named here.
    if (lease.answers.empty())
        lease.answers[leases.Name()] = result;
    if (result == 0 && lease.source.empty())
        lease.source = leases.Name();
    // To the user, "no source has a lease" is no data rather than no file.
    return result == ENOENT ? ENODATA : result;
}
