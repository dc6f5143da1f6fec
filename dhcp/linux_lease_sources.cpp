#include "dhcp/linux_lease_sources.h"

#include "dhcp/dhclient_lease.h"
#include "dhcp/dhcp_inform.h"
#include "dhcp/dhcpcd_lease_source.h"
#include "dhcp/networkd_lease.h"
#include "dhcp/nm_lease_source.h"

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
