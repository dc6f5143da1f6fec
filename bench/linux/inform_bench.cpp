// The DHCPINFORM round trip against a real server, from socket to parsed
// reply. bench/inform-roundtrip runs it in a client namespace beside dnsmasq:
//   veyra_inform_bench --interface=NAME --address=A.B.C.D [benchmark flags]
#include "linux/dhcp_inform.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
LeaseInterface g_iface;

void BM_InformRoundTrip(benchmark::State& state)
{
    const auto source = MakeInformLeaseSource(InformSettings());
    std::size_t nOptions = 0;
    for (auto _ : state)
    {
        Lease lease;
        const int nResult = source->Read(g_iface, lease);
        if (nResult != 0)
        {
            state.SkipWithError(std::strerror(nResult));
            break;
        }
        nOptions = lease.m_mapOptions.size();
    }
    state.counters["options"] = static_cast<double>(nOptions);
}
BENCHMARK(BM_InformRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Takes our two flags out of argv, leaving the benchmark library's.
bool TakeInterface(int& argc, char** argv)
{
    const std::string strInterface = "--interface=";
    const std::string strAddress = "--address=";
    int nKept = 1;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        in_addr address{};
        if (strArg.compare(0, strInterface.size(), strInterface) == 0)
            g_iface.m_strName = strArg.substr(strInterface.size());
        else if (strArg.compare(0, strAddress.size(), strAddress) == 0 &&
                 inet_pton(AF_INET, strArg.c_str() + strAddress.size(), &address) == 1)
            g_iface.m_IpAddresses.push_back(ntohl(address.s_addr));
        else
            argv[nKept++] = argv[i];
    }
    argc = nKept;
    return !g_iface.m_strName.empty() && !g_iface.m_IpAddresses.empty();
}
} // namespace

int main(int argc, char** argv)
{
    if (!TakeInterface(argc, argv))
    {
        std::fprintf(stderr, "usage: %s --interface=NAME --address=A.B.C.D [benchmark flags]\n",
                     argv[0]);
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
