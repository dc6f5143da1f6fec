#include "linux/linux_lease_sources.h"

#include "core/wire/dhclient_lease.h"
#include "core/wire/networkd_lease.h"
#include "linux/dhcp_inform.h"
#include "linux/dhcpcd_lease_source.h"
#include "linux/nm_lease_source.h"

std::vector<std::unique_ptr<CLeaseSource>> LinuxLeaseSources(const LinuxPaths& paths, bool bInform)
{
    std::vector<std::unique_ptr<CLeaseSource>> sources;
    sources.push_back(MakeDhcpcdLeaseSource(paths));
    sources.push_back(MakeNetworkdLeaseSource(paths));
    sources.push_back(MakeDhclientLeaseSource(paths));
    sources.push_back(MakeNetworkManagerLeaseSource());
    if (bInform)
        sources.push_back(MakeInformLeaseSource(InformSettings()));
    return sources;
}
