// Lease6Chain: several DHCPv6 lease sources read as one. Unlike IPv4's chain,
// whose options may come from several sources, a DHCPv6 lease is one
// client's Reply: its identity associations and options belong together.
#pragma once

#include "linux/lease6_source.h"

#include <memory>
#include <vector>

class Lease6Chain final : public Lease6Source
{
public:
    explicit Lease6Chain(std::vector<std::unique_ptr<Lease6Source>> sources)
        : m_sources(std::move(sources))
    {
    }

    const char* Name() const override { return "chain"; }

    // Asks every source, in chain order: 0 with the lease of the first that
    // has one, and its name in source; otherwise the first failure other than
    // ENOENT, or ENOENT when no source failed. Either way answers holds every
    // source's answer.
    int Read(const LeaseInterface& iface, Lease6& lease) override;

private:
    std::vector<std::unique_ptr<Lease6Source>> m_sources;
};
