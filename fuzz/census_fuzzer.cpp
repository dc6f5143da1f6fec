// The census's sorting of a hostile trunk's frames: the input is a run of
// frames, each a VLAN selector, an EtherType selector, a 16-bit length and
// the packet. The plan's transaction ids are fixed, so that answers reach
// every sorter. Whatever arrives, the census stays within its limits and
// each frame is counted once, on its VLAN or as unplanned.
#include "core/wire/census.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace
{
constexpr std::optional<std::uint16_t> kVlans[] = {std::nullopt, 10, 20, 30, 4095};
constexpr std::uint16_t kEtherTypes[] = {0x0800, 0x86DD, 0x0806};
constexpr std::size_t kFrameHeader = 4;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CensusPlan plan;
    for (const unsigned vlan : {0U, 10U, 20U})
    {
        VlanProbe probe;
        if (vlan != 0)
            probe.vlan = static_cast<std::uint16_t>(vlan);
        probe.clientMac = {0x02, 0, 0, 0x55, 0, 0x02};
        probe.transactionId = 0x5EED0000U + vlan;
        probe.transactionId6 = 0xED0000U + vlan;
        probe.clientDuid = {0, 3, 0, 1, 0x02, 0, 0, 0x55, 0, 0x02};
        plan.probes.push_back(probe);
    }
    const CensusLimits limits{2, 4, 4096};
    Census census(plan, limits);
    std::size_t frames = 0;
    for (std::size_t at = 0; at + kFrameHeader <= size; ++frames)
    {
        CensusFrame frame;
        frame.vlan = kVlans[data[at] % std::size(kVlans)];
        frame.etherType = kEtherTypes[data[at + 1] % std::size(kEtherTypes)];
        const std::size_t length =
            std::min(std::size_t{data[at + 2]} << 8 | data[at + 3], size - at - kFrameHeader);
        census.Take(frame, data + at + kFrameHeader, length);
        at += kFrameHeader + length;
    }
    if (census.Responders() > limits.maxResponders)
        std::abort();
    const CensusResult result = census.TakeResult();
    std::size_t counted = result.unplannedFrames;
    for (const VlanCensus& vlan : result.vlans)
    {
        counted += vlan.seen.frames;
        if (vlan.servers.size() > limits.maxRespondersPerFamily ||
            vlan.servers6.size() > limits.maxRespondersPerFamily ||
            vlan.routers.size() > limits.maxRespondersPerFamily)
            std::abort();
    }
    if (counted != frames || result.vlans.size() != plan.probes.size())
        std::abort();
    return 0;
}
