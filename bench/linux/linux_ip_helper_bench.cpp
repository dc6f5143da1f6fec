// Cost of one adapter snapshot on a real Linux machine: the whole inventory
// over CLinuxIpHelper, and the rtnetlink round alone. Run it inside a
// namespace with many interfaces (bench/enumerate-veth does). No lease source
// is chained here, so every interface reads as having no lease.
#include "linux/lease_chain.h"
#include "linux/linux_ip_helper.h"
#include "linux/netlink_snapshot.h"
#include "win32/adapter_inventory.h"

#include <benchmark/benchmark.h>

#include <cstddef>

namespace
{
// A fresh helper each time, as a program start has: nothing read before.
void BM_EnumerateLinuxAdapters(benchmark::State& state)
{
    CLeaseChain leases({});
    std::size_t nAdapters = 0;
    for (auto _ : state)
    {
        CLinuxIpHelper helper(LinuxPaths(), leases);
        CAdapterInventory inventory(helper);
        if (inventory.EnumerateAdapters() != 1)
        {
            state.SkipWithError("the enumeration failed");
            break;
        }
        nAdapters = inventory.m_AdapterList.size();
    }
    state.counters["adapters"] = static_cast<double>(nAdapters);
}
BENCHMARK(BM_EnumerateLinuxAdapters)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NetlinkSnapshot(benchmark::State& state)
{
    CNetlinkSnapshot snapshot;
    for (auto _ : state)
    {
        if (snapshot.Take() != 0)
        {
            state.SkipWithError("the rtnetlink dumps failed");
            break;
        }
        benchmark::DoNotOptimize(snapshot.Interfaces().size());
    }
    state.counters["interfaces"] = static_cast<double>(snapshot.Interfaces().size());
}
BENCHMARK(BM_NetlinkSnapshot)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

BENCHMARK_MAIN();
