#include "app/cli/adapter_lease.h"

#include "core/model/adapter_choice.h"

#include <cerrno>

int ReadAdapterLease(const std::optional<LeaseInterface>& iface, CLeaseSource& leases, Lease& lease)
{
    lease = Lease();
    if (!iface)
        return ENODEV;
    const int nResult = leases.Read(*iface, lease);
    // To the user, "no source has a lease" is no data rather than no file.
    return nResult == ENOENT ? ENODATA : nResult;
}

std::string AdapterNamed(const AdapterList& adapters, const std::string& strArgument)
{
    for (const AdapterInfo& adapter : adapters)
    {
        if (adapter.m_strAdapterName == strArgument)
            return strArgument;
    }
    return AdapterNameFor(adapters, strArgument);
}
