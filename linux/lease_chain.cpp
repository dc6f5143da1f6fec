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
        lease.m_mapAnswers[pSource->Name()] = nResult;
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
            if (!lease.m_mapOptions.emplace(nCode, std::move(bytes)).second)
                continue;
            lease.m_mapSources.emplace(nCode, pSource->Name());
            if (found.m_CutOptions.count(nCode) != 0)
                lease.m_CutOptions.insert(nCode);
        }
        // A line with the code of an option already had is that option again.
        for (UnmappedOption& unmapped : found.m_Unmapped)
        {
            if (unmapped.m_nCode && lease.m_mapSources.count(*unmapped.m_nCode) != 0 &&
                lease.m_mapSources.at(*unmapped.m_nCode) != pSource->Name())
                continue;
            unmapped.m_strSource = pSource->Name();
            lease.m_Unmapped.push_back(std::move(unmapped));
        }
    }
    if (bFound)
        return 0;
    return nFailure != 0 ? nFailure : ENOENT;
}
