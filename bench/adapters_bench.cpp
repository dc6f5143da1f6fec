// Cost of one adapter snapshot. Timings live here, never in the tests.
#include "testing/prepared_ip_helper.h"
#include "win32/adapter_inventory.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
// A machine with this many adapters, each with two addresses (so one address
// entry outside its record), a gateway, a DHCP server and two DNS servers.
void PrepareMachine(CPreparedIpHelper& helper, int nAdapters)
{
    for (int i = 0; i < nAdapters; ++i)
    {
        const auto nHigh = static_cast<BYTE>(i >> 8);
        const auto nLow = static_cast<BYTE>(i);
        const std::string strNet = "10." + std::to_string(nHigh) + "." + std::to_string(nLow);
        helper.Add(CPreparedAdapter("{4D36E972-E325-11CE-BFC1-" + std::to_string(100000 + i) + "}")
                       .Description("Ethernet Adapter #" + std::to_string(i))
                       .HardwareAddress({0x00, 0x0C, 0x29, 0x00, nHigh, nLow})
                       .Type(6)
                       .DhcpEnabled(1)
                       .Lease(1796738587, 1796824987)
                       .IpAddress(strNet + ".10", "255.255.255.0")
                       .IpAddress(strNet + ".11", "255.255.255.0")
                       .Gateway(strNet + ".1")
                       .DhcpServer(strNet + ".2")
                       .DnsServer(strNet + ".53")
                       .DnsServer("10.255.255.53"));
    }
}

void BM_EnumerateAdapters(benchmark::State& state)
{
    CPreparedIpHelper helper;
    PrepareMachine(helper, static_cast<int>(state.range(0)));
    CAdapterInventory inventory(helper);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(inventory.EnumerateAdapters());
        benchmark::DoNotOptimize(inventory.m_AdapterList.data());
        helper.ForgetCalls();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EnumerateAdapters)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
