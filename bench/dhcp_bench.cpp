// Decoding and request costs. Timings live here, never in the tests.
#include "core/model/requested_options.h"
#include "core/options/option_decoder.h"
#include "testing/scripted_dhcp_client.h"
#include "win32/dhcp_query.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace
{
struct RenderingCase
{
    const char* pszName;
    std::uint32_t nCode;
    std::vector<std::uint8_t> data;
};

const RenderingCase kCases[] = {
    {"address", 54, {10, 0, 0, 1}},
    {"address_list", 6, {10, 0, 0, 1, 10, 0, 0, 2, 10, 0, 0, 3}},
    {"number", 57, {0x02, 0x40}},
    {"hours", 2, {0xFF, 0xFF, 0xB9, 0xB0}},
    {"moment", 51, {0x00, 0x01, 0x51, 0x80}},
    {"named_value", 53, {5}},
    {"encapsulation", 36, {1}},
    {"hex_byte", 46, {8}},
    {"text", 15, {'c', 'o', 'r', 'p', '.', 'e', 'x', 'a', 'm', 'p', 'l', 'e'}},
    {"name_only", 43, {1, 2, 3}},
    {"unknown", 300, {1}},
};

void BM_DecodeOption(benchmark::State& state)
{
    const RenderingCase& c = kCases[state.range(0)];
    state.SetLabel(c.pszName);
    for (auto _ : state)
    {
        DhcpOption option;
        DecodeOption(c.nCode, c.data.data(), c.data.size(), option);
        benchmark::DoNotOptimize(option);
    }
}
BENCHMARK(BM_DecodeOption)->DenseRange(0, static_cast<int>(std::size(kCases)) - 1);

// A full reply: every one of the 46 requested options supplied.
void BM_RequestOptions46(benchmark::State& state)
{
    CScriptedDhcpClient service;
    for (const DWORD nCode : kRequestedOptions)
        service.SetOption(nCode, {10, 0, 0, static_cast<BYTE>(nCode)});
    CDhcpQuery query(service);
    // Each request writes its trace line; send it away from the report meanwhile.
    std::fflush(stdout);
    const int nSaved = dup(STDOUT_FILENO);
    const int nNull = open("/dev/null", O_WRONLY);
    dup2(nNull, STDOUT_FILENO);
    for (auto _ : state)
    {
        DhcpOptionList options;
        benchmark::DoNotOptimize(query.RequestOptions(options, "eth0"));
        benchmark::DoNotOptimize(options);
    }
    std::fflush(stdout);
    dup2(nSaved, STDOUT_FILENO);
    close(nNull);
    close(nSaved);
}
BENCHMARK(BM_RequestOptions46);
} // namespace

BENCHMARK_MAIN();
