#include "core/wire/census.h"

Census::Census(CensusPlan plan, const CensusLimits& limits) : m_limits(limits)
{
    m_result.families = plan.families;
    for (VlanProbe& probe : plan.probes)
    {
        VlanCensus vlan;
        vlan.probe = std::move(probe);
        m_result.vlans.push_back(std::move(vlan));
    }
}

void Census::Take(const CensusFrame&, const std::uint8_t*, std::size_t)
{
    ++m_result.unplannedFrames;
}
