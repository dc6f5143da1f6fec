// Stands in for RunDiscover's and RunLeaseCheck's packet socket, lease
// sources and clock: it records the settings and its calls, reports progress
// at the moments given, and hands back the VLANs given (or fails with the
// errno value given) for the families asked, and the leases given.
#pragma once

#include "app/cli/discover_command.h"
#include "core/wire/census.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct FakeDiscoverBackEnd
{
    std::vector<VlanCensus> vlans;
    int error = 0;
    bool terminal = false;
    std::vector<std::chrono::milliseconds> progress;
    InterfaceLeases leases;
    std::optional<CensusSettings> settings;
    std::string calls; // the back end's calls, in order

    DiscoverBackEnd Seam()
    {
        DiscoverBackEnd seam;
        seam.census = [this](const CensusSettings& given, CensusResult& result)
        {
            settings = given;
            calls += "census ";
            CensusPlan plan;
            plan.families = given.families;
            plan.probes.resize(vlans.size());
            Census census(plan);
            for (const std::chrono::milliseconds left : progress)
                given.progress(census, left);
            result.families = given.families;
            result.vlans = vlans;
            return error;
        };
        seam.errorIsTerminal = [this] { return terminal; };
        seam.leases = [this](const std::string&)
        {
            calls += "leases ";
            return leases;
        };
        seam.now = []
        { return std::chrono::system_clock::time_point(std::chrono::seconds(1000000)); };
        return seam;
    }
};
