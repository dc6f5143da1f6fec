// CLeaseChain: several lease sources read as one. Each option comes from the
// first source, in chain order, that has it.
#pragma once

#include "linux/lease_source.h"

#include <vector>

class CLeaseChain final : public CLeaseSource
{
public:
    // The sources are not owned: chains of one run share them, so that a
    // memoized source answers each of them from a single read.
    explicit CLeaseChain(std::vector<CLeaseSource*> sources) : m_sources(std::move(sources)) {}

    const char* Name() const override { return "chain"; }

    // 0 when any source had a lease; the address and times are the first
    // finder's, m_mapSources names each option's source, and the unmapped
    // lines and cut options follow the options of their source (an unmapped
    // line of a code an earlier source had is left out). Otherwise the first
    // failure other than ENOENT, or ENOENT when no source failed. Either way
    // m_mapAnswers holds every source's answer.
    int Read(const LeaseInterface& iface, Lease& lease) override;

private:
    std::vector<CLeaseSource*> m_sources;
};
