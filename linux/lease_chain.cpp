#include "linux/lease_chain.h"

#include <cerrno>

int CLeaseChain::Read(const LeaseInterface& iface, Lease& lease)
{
    lease = Lease();
    bool bFound = false;
    int nFailure = 0;
    for (CLeaseSource* pSource : m_sources)
    {
        Lease found;
        const int nResult = pSource->Read(iface, found);
        if (nResult != 0)
        {
            if (nResult != ENOENT && nFailure == 0)
                nFailure = nResult;
            continue;
        }
        if (!bFound)
        {
            lease.m_nYourAddress = found.m_nYourAddress;
            lease.m_tObtained = found.m_tObtained;
            lease.m_tExpires = found.m_tExpires;
            bFound = true;
        }
        for (auto& [nCode, bytes] : found.m_mapOptions)
        {
            if (lease.m_mapOptions.emplace(nCode, std::move(bytes)).second)
                lease.m_mapSources.emplace(nCode, pSource->Name());
        }
    }
    if (bFound)
        return 0;
    return nFailure != 0 ? nFailure : ENOENT;
}
