// Cost of one adapter listing on a real Linux machine: the whole
// CLinuxAdapterSource read, and the rtnetlink round alone. Run it inside a
// namespace with many interfaces (bench/enumerate-veth does). No lease source
// is chained here, so every interface reads as having no lease.
#include "linux/adapter_source.h"
#include "linux/lease_chain.h"
#include "linux/netlink_snapshot.h"

#include <benchmark/benchmark.h>

#include <cstddef>

namespace
{
// A fresh source each time, as a program start has: nothing read before.
void BM_ReadLinuxAdapters(benchmark::State& state)
{
    CLeaseChain leases({});
    std::size_t nAdapters = 0;
    for (auto _ : state)
    {
        CLinuxAdapterSource source(LinuxPaths(), leases);
        AdapterList adapters;
        if (source.Read(adapters) != 0)
        {
            state.SkipWithError("the read failed");
            break;
        }
        nAdapters = adapters.size();
    }
    state.counters["adapters"] = static_cast<double>(nAdapters);
}
BENCHMARK(BM_ReadLinuxAdapters)->Unit(benchmark::kMillisecond)->UseRealTime();

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
