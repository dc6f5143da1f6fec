// CAnsweredLeaseSource: the network's answer, asked for before anything else
// was read (a privileged veyra asks first, then drops its privileges), given
// again to the chain that reads it in its turn.
#pragma once

#include "linux/lease_source.h"

#include <utility>

class CAnsweredLeaseSource final : public CLeaseSource
{
public:
    CAnsweredLeaseSource(int nResult, Lease lease) : m_nResult(nResult), m_lease(std::move(lease))
    {
    }

    const char* Name() const override { return "inform"; }

    int Read(const LeaseInterface&, Lease& lease) override
    {
        if (m_nResult == 0)
            lease = m_lease;
        return m_nResult;
    }

private:
    int m_nResult;
    Lease m_lease;
};
