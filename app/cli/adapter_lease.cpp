#include "app/cli/adapter_lease.h"

#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

std::optional<LeaseInterface> FindLeaseInterface(const std::string& strName)
{
    LeaseInterface iface;
    iface.m_strName = strName;
    iface.m_nIndex = if_nametoindex(strName.c_str());
    if (iface.m_nIndex == 0)
        return std::nullopt;
    ifaddrs* pAddresses = nullptr;
    if (getifaddrs(&pAddresses) == 0)
    {
        for (const ifaddrs* p = pAddresses; p != nullptr; p = p->ifa_next)
        {
            if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET ||
                strName != p->ifa_name)
                continue;
            const auto* pInet = reinterpret_cast<const sockaddr_in*>(p->ifa_addr);
            iface.m_IpAddresses.push_back(ntohl(pInet->sin_addr.s_addr));
        }
        freeifaddrs(pAddresses);
    }
    return iface;
}

int ReadAdapterLease(const std::optional<LeaseInterface>& iface, CLeaseSource& leases, Lease& lease)
{
    lease = Lease();
    if (!iface)
        return ENODEV;
    const int nResult = leases.Read(*iface, lease);
    // To the user, "no source has a lease" is no data rather than no file.
    return nResult == ENOENT ? ENODATA : nResult;
}
