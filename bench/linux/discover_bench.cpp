// The DHCPv4 census's costs (RunCensus, untagged, DHCPv4 alone).
// bench/discover-offers runs it in a client namespace beside dnsmasq:
//   veyra_discover_bench --interface=NAME --veyra=PATH [benchmark flags]
// FirstOffer: from the DHCPDISCOVER's send to dnsmasq's offer, on a veth.
// OfferFlood: a scripted server answers with N offers from N forged server
// ids in one burst; CPU time of the census per offer, and what it kept.
// CommandUnderFlood: the same against the veyra command itself, in a child
// process: its peak resident memory and CPU time for the whole run.
#include "linux/dhcp_census.h"
#include "testing/fake_dhcp_server.h"
#include "testing/netns_pair.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using std::chrono::milliseconds;

std::string g_strInterface;
std::string g_strVeyra;

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void BM_FirstOffer(benchmark::State& state)
{
    if (g_strInterface.empty())
    {
        state.SkipWithError("no --interface with a DHCP server");
        return;
    }
    CensusSettings settings;
    settings.interfaceName = g_strInterface;
    settings.wait = milliseconds(5000);
    settings.families = kCensusDhcpv4;
    settings.done = [](const Census& census)
    { return census.Result().vlans[0].firstOffer.has_value(); };
    for (auto _ : state)
    {
        CensusResult result;
        const int error = RunCensus(settings, result);
        if (error != 0 || !result.vlans[0].firstOffer)
        {
            state.SkipWithError(error != 0 ? std::strerror(error) : "no offer");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*result.vlans[0].firstOffer).count());
    }
}
BENCHMARK(BM_FirstOffer)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A namespace pair whose scripted server floods every DHCPDISCOVER with
// state.range(0) offers, each from another server id.
class CFlood
{
public:
    explicit CFlood(int nOffers)
    {
        if (!m_pair.Failure().empty())
            return;
        m_pServer = std::make_unique<CFakeDhcpServer>(
            m_pair.ServerNamespace(),
            [nOffers](const BootpMessage& request, int)
            {
                std::vector<FakeAnswer> answers;
                for (int n = 0; n < nOffers; ++n)
                {
                    FakeAnswer answer;
                    answer.m_Bytes = FakeReply(request, kDhcpOffer,
                                               {{kOptionServerId,
                                                 {10, 200, static_cast<std::uint8_t>(n >> 8),
                                                  static_cast<std::uint8_t>(n)}},
                                                {kOptionLeaseTime, {0, 0, 0x0E, 0x10}},
                                                {1, {255, 255, 255, 0}},
                                                {3, {10, 77, 0, 1}},
                                                {6, {10, 77, 0, 1, 10, 77, 0, 2}},
                                                {15, {'l', 'a', 'b', '.', 't', 'e', 's', 't'}}});
                    answer.m_bBroadcast = true;
                    answers.push_back(std::move(answer));
                }
                return answers;
            });
    }

    bool Ready() const { return m_pServer && m_pServer->Listening(); }
    const CNetnsPair& Pair() const { return m_pair; }

private:
    CNetnsPair m_pair;
    std::unique_ptr<CFakeDhcpServer> m_pServer;
};

void BM_OfferFlood(benchmark::State& state)
{
    const auto nOffers = static_cast<std::size_t>(state.range(0));
    CFlood flood(static_cast<int>(nOffers));
    if (!flood.Ready())
    {
        state.SkipWithError("no namespace pair or scripted server");
        return;
    }
    const CNetnsScope scope(flood.Pair().ClientNamespace());
    CensusSettings settings;
    settings.interfaceName = CNetnsPair::kClientInterface;
    settings.wait = milliseconds(20000);
    settings.families = kCensusDhcpv4;
    settings.done = [nOffers](const Census& census)
    { return census.Result().vlans[0].counts.packets >= nOffers; };
    double dCpu = 0;
    CensusResult result;
    for (auto _ : state)
    {
        const double dStart = ThreadCpuSeconds();
        if (const int error = RunCensus(settings, result))
        {
            state.SkipWithError(std::strerror(error));
            break;
        }
        dCpu += ThreadCpuSeconds() - dStart;
    }
    const auto nRuns = static_cast<double>(state.iterations());
    state.counters["cpu_us_per_offer"] =
        nRuns > 0 ? dCpu / nRuns / static_cast<double>(nOffers) * 1e6 : 0;
    if (!result.vlans.empty())
    {
        state.counters["servers_kept"] = static_cast<double>(result.vlans[0].servers.size());
        state.counters["dropped"] = static_cast<double>(result.vlans[0].counts.dropped);
    }
}
BENCHMARK(BM_OfferFlood)->Arg(1000)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);

// Runs the veyra command in the client namespace; its output in strJson, its
// resource use in usage.
bool RunCommand(const CNetnsPair& pair, const std::string& strWait, std::string& strJson,
                rusage& usage)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0)
    {
        dup2(fds[1], STDOUT_FILENO);
        const int nNull = open("/dev/null", O_WRONLY);
        dup2(nNull, STDERR_FILENO);
        close(fds[0]);
        const CNetnsScope scope(pair.ClientNamespace());
        if (scope.Entered())
            execl(g_strVeyra.c_str(), g_strVeyra.c_str(), "--discover",
                  CNetnsPair::kClientInterface, "--wait", strWait.c_str(), "--json",
                  static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        strJson.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    int nStatus = 0;
    return child > 0 && wait4(child, &nStatus, 0, &usage) == child && WIFEXITED(nStatus) &&
           WEXITSTATUS(nStatus) != 127;
}

void BM_CommandUnderFlood(benchmark::State& state)
{
    if (g_strVeyra.empty())
    {
        state.SkipWithError("no --veyra");
        return;
    }
    CFlood flood(static_cast<int>(state.range(0)));
    if (!flood.Ready())
    {
        state.SkipWithError("no namespace pair or scripted server");
        return;
    }
    long nMaxRssKib = 0;
    double dCpu = 0;
    nlohmann::json document;
    for (auto _ : state)
    {
        std::string strJson;
        rusage usage{};
        if (!RunCommand(flood.Pair(), "2", strJson, usage))
        {
            state.SkipWithError("the command did not run");
            break;
        }
        nMaxRssKib = std::max(nMaxRssKib, usage.ru_maxrss);
        dCpu += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        document = nlohmann::json::parse(strJson, nullptr, false);
    }
    state.counters["max_rss_kib"] = static_cast<double>(nMaxRssKib);
    state.counters["cpu_ms_per_run"] =
        state.iterations() > 0 ? dCpu / static_cast<double>(state.iterations()) * 1e3 : 0;
    if (document.is_object())
    {
        state.counters["servers_kept"] = static_cast<double>(document["servers"].size());
        state.counters["dropped"] = document["dropped"].get<double>();
    }
}
BENCHMARK(BM_CommandUnderFlood)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Takes our flags out of argv, leaving the benchmark library's.
void TakeFlags(int& argc, char** argv)
{
    const std::string strInterface = "--interface=";
    const std::string strVeyra = "--veyra=";
    int nKept = 1;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        if (strArg.compare(0, strInterface.size(), strInterface) == 0)
            g_strInterface = strArg.substr(strInterface.size());
        else if (strArg.compare(0, strVeyra.size(), strVeyra) == 0)
            g_strVeyra = strArg.substr(strVeyra.size());
        else
            argv[nKept++] = argv[i];
    }
    argc = nKept;
}
} // namespace

int main(int argc, char** argv)
{
    TakeFlags(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
