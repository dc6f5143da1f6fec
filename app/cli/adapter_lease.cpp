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

int InformAnswer(const Lease& lease)
{
    const auto answer = lease.m_mapAnswers.find("inform");
    return answer != lease.m_mapAnswers.end() ? answer->second : 0;
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
