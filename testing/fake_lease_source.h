// A lease source that answers with a prepared lease or error and counts its reads.
#pragma once

#include "linux/lease_source.h"

#include <map>
#include <string>
#include <utility>

class CFakeLeaseSource final : public CLeaseSource
{
public:
    explicit CFakeLeaseSource(const char* pszName, int nResult = 0, Lease lease = Lease())
        : m_pszName(pszName), m_nResult(nResult), m_lease(std::move(lease))
    {
    }

    const char* Name() const override { return m_pszName; }
    int Read(const LeaseInterface& iface, Lease& lease) override
    {
        ++m_nReads;
        ++m_mapReadsOf[iface.m_strName];
        m_strAskedFor = iface.m_strName;
        if (m_nResult == 0)
            lease = m_lease;
        return m_nResult;
    }

    int m_nReads = 0;
    std::map<std::string, int> m_mapReadsOf; // reads by interface name
    std::string m_strAskedFor;

private:
    const char* m_pszName;
    int m_nResult;
    Lease m_lease;
};
