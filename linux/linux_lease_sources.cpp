#include "linux/linux_lease_sources.h"

#include "linux/dhclient_lease_source.h"
#include "linux/dhcpcd_lease_source.h"
#include "linux/networkd_lease_source.h"
#include "linux/nm_lease_source.h"

std::unique_ptr<CRunLeaseSources> MakeLinuxLeaseSources(const LinuxPaths& paths,
                                                        const InformSettings& inform,
                                                        std::chrono::milliseconds busTimeout)
{
    return MakeLinuxLeaseSources(paths, MakeInformLeaseSource(inform), busTimeout);
}

std::unique_ptr<CRunLeaseSources> MakeLinuxLeaseSources(const LinuxPaths& paths,
                                                        std::unique_ptr<CLeaseSource> pAsking,
                                                        std::chrono::milliseconds busTimeout)
{
    std::vector<std::unique_ptr<CLeaseSource>> kept;
    kept.push_back(MakeDhcpcdLeaseSource(paths));
    kept.push_back(MakeNetworkdLeaseSource(paths));
    kept.push_back(MakeDhclientLeaseSource(paths));
    kept.push_back(MakeNetworkManagerLeaseSource(busTimeout));
    return std::make_unique<CRunLeaseSources>(std::move(kept), std::move(pAsking));
}
