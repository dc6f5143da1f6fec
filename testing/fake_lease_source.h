// A lease source that answers with a prepared lease or error, per interface
// where one is prepared for it, and records what it was asked.
#pragma once

#include "linux/lease_source.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class CFakeLeaseSource final : public CLeaseSource
{
public:
    // nResult and lease answer for every interface without an answer of its own.
    explicit CFakeLeaseSource(const char* pszName, int nResult = 0, Lease lease = Lease())
        : m_pszName(pszName), m_nResult(nResult), m_lease(std::move(lease))
    {
    }

    const char* Name() const override { return m_pszName; }
    int Read(const LeaseInterface& iface, Lease& lease) override
    {
        ++m_nReads;
        m_strAskedFor = iface.m_strName;
        m_asked.push_back(iface);
        const auto error = m_errors.find(iface.m_strName);
        if (error != m_errors.end())
            return error->second;
        const auto own = m_leases.find(iface.m_strName);
        if (own != m_leases.end())
        {
            lease = own->second;
            return 0;
        }
        if (m_nResult == 0)
            lease = m_lease;
        return m_nResult;
    }

    // Answers of their own, by interface name.
    std::map<std::string, Lease> m_leases;
    std::map<std::string, int> m_errors;

    int m_nReads = 0;
    std::string m_strAskedFor;           // the last interface asked about
    std::vector<LeaseInterface> m_asked; // every question, in order

    // How often each interface was asked about.
    std::map<std::string, int> ReadsByName() const
    {
        std::map<std::string, int> reads;
        for (const LeaseInterface& iface : m_asked)
            ++reads[iface.m_strName];
        return reads;
    }

private:
    const char* m_pszName;
    int m_nResult;
    Lease m_lease;
};
