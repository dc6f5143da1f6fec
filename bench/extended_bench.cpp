// Cost of decoding a whole lease through the extended catalogue, as `veyra
// --all` and `--json` do. Timings live here, never in the tests.
#include "core/options/extended_decoder.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
OptionBytes Text(const char* pszText)
{
    const std::string strText(pszText);
    return OptionBytes(strText.begin(), strText.end());
}

// A generous lease: 60 options, of every kind a server sends.
OptionMap SixtyOptionLease()
{
    OptionMap options{
        {1, {255, 255, 255, 0}},
        {2, {0xFF, 0xFF, 0xB9, 0xB0}},
        {3, {10, 99, 0, 1}},
        {4, {10, 99, 0, 1}},
        {6, {10, 99, 0, 1, 10, 99, 0, 2}},
        {7, {10, 99, 0, 1}},
        {12, Text("host-146")},
        {13, {0x01, 0x00}},
        {15, Text("lab.example")},
        {17, Text("/srv/root")},
        {19, {0}},
        {21, {10, 0, 0, 0, 255, 0, 0, 0}},
        {23, {64}},
        {24, {0, 0, 0x02, 0x58}},
        {25, {0x01, 0x28, 0x05, 0xDC}},
        {26, {0x05, 0xDC}},
        {28, {10, 99, 0, 255}},
        {33, {10, 99, 5, 0, 10, 99, 0, 1}},
        {35, {0, 0, 0x0E, 0x10}},
        {37, {64}},
        {40, Text("nis.lab.example")},
        {41, {10, 99, 0, 1}},
        {42, {10, 99, 0, 1, 10, 99, 0, 2}},
        {43, {1, 4, 0xDE, 0xAD, 0xBE, 0xEF, 2, 3, 'a', 'b', 'c', 255}},
        {44, {10, 99, 0, 1}},
        {46, {8}},
        {47, Text("scope1")},
        {51, {0, 0, 0x02, 0x58}},
        {53, {5}},
        {54, {10, 99, 0, 1}},
        {55, {1, 3, 6, 15, 28, 42, 51, 54, 58, 59, 119, 121, 252}},
        {56, Text("lease granted")},
        {57, {0x05, 0xDC}},
        {58, {0, 0, 0x01, 0x2C}},
        {59, {0, 0, 0x02, 0x0D}},
        {60, Text("veyra-client 1.2")},
        {61, {1, 0x02, 0x00, 0x5E, 0x10, 0x00, 0x01}},
        {64, Text("nisplus.lab.example")},
        {66, Text("tftp.lab.example")},
        {67, Text("pxelinux.0")},
        {69, {10, 99, 0, 3}},
        {72, {10, 99, 0, 4}},
        {77, {4, 'i', 'P', 'X', 'E', 3, 'l', 'a', 'b'}},
        {81, {0x05, 0, 0, 8, 'h', 'o', 's', 't', '-', '1', '4', '6', 3, 'l', 'a', 'b', 0}},
        {82, {1, 6, 'e', 't', 'h', '0', '/', '1', 2, 6, 0x02, 0, 0x5E, 0x10, 0, 1}},
        {100, Text("CET-1CEST,M3.5.0,M10.5.0/3")},
        {101, Text("Europe/Zurich")},
        {108, {0, 0, 0x07, 0x08}},
        {114, Text("https://portal.lab.example/")},
        {116, {1}},
        {118, {10, 99, 0, 0}},
        {119, {3,   'l', 'a', 'b', 7,   'e', 'x', 'a', 'm',  'p',
               'l', 'e', 0,   4,   'c', 'o', 'r', 'p', 0xC0, 4}},
        {120, {0, 3, 's', 'i', 'p', 3, 'l', 'a', 'b', 0}},
        {121, {24, 10, 99, 5, 10, 99, 0, 1, 0, 10, 99, 0, 1}},
        {124, {0, 0, 0x11, 0x8B, 6, 5, 'c', 'l', 'a', 's', 's'}},
        {125, {0, 0, 0x11, 0x8B, 6, 1, 4, 10, 99, 0, 9}},
        {150, {10, 99, 0, 5}},
        {209, Text("pxelinux.cfg/default")},
        {249, {24, 10, 99, 5, 10, 99, 0, 1}},
        {252, Text("http://wpad.lab.example/wpad.dat")},
    };
    return options;
}

// One option of each structured layout past RFC 2132's: locations, DNR
// instances, 6rd, and the rest that read nested lengths.
OptionMap StructuredOptionLease()
{
    OptionMap options{
        {83, {0x80, 0x03, 0x00, 0x01, 0x00, 0x03, 0, 0, 0, 0, 10, 99, 0, 1, 10, 99, 0, 2}},
        {90, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0xAB, 0xCD, 0xEF, 0x01}},
        {97,
         {0, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD,
          0xEE, 0xFF}},
        {99, {2, 'D', 'E', 1, 2, 'B', 'Y', 3, 7, 'M', 'u', 'n', 'i', 'c', 'h', '1'}},
        {123, {0x48, 0x5F, 0, 0, 0, 0x4B, 0xEF, 0x80, 0, 0, 0x13, 0xC0, 0x01, 0x90, 0x80, 0x41}},
        {143, {0,   21,  'h', 't', 't', 'p', 's', ':', '/', '/', 's', 'z',
               't', 'p', '.', 'e', 'x', 'a', 'm', 'p', 'l', 'e', '/'}},
        {144, {0x48, 0x5F, 0, 0, 0, 0x4B, 0xEF, 0x80, 0, 0, 0x13, 0xC0, 0x01, 0x90, 0x80, 0x41}},
        {146, {1, 10, 99, 0, 53, 10, 99, 0, 54, 3, 'l', 'a', 'b', 0}},
        {158, {4, 10, 99, 0, 1, 8, 10, 99, 0, 2, 10, 99, 0, 3}},
        {159, {6, 6, 0, 0x34}},
        {162, {0, 23, 0,  1, 8,  3, 'd', 'n', 's', 2, 'e', 'x', 0,
               4, 10, 99, 0, 53, 0, 1,   0,   3,   2, 'h', '2'}},
        {208, {0xF1, 0x00, 0x74, 0x7E}},
        {212, {0, 32, 0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 99, 0, 1}},
        {221, {0, 'v', 'p', 'n', '-', 'a'}},
    };
    return options;
}

void BM_DecodeAllOptions60(benchmark::State& state)
{
    const OptionMap options = SixtyOptionLease();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeAllOptions(options));
    state.SetLabel(std::to_string(options.size()) + " options");
}
BENCHMARK(BM_DecodeAllOptions60)->Unit(benchmark::kMicrosecond);

// The text alone, as `veyra --all` and the window show it.
void BM_DecodeAllOptions60Text(benchmark::State& state)
{
    const OptionMap options = SixtyOptionLease();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeAllOptions(options, ExtendedParts::Text));
    state.SetLabel(std::to_string(options.size()) + " options");
}
BENCHMARK(BM_DecodeAllOptions60Text)->Unit(benchmark::kMicrosecond);

// The same, each option made into its JSON object and the lease dumped, as --json does.
void BM_DecodeAllOptions60Json(benchmark::State& state)
{
    const OptionMap options = SixtyOptionLease();
    for (auto _ : state)
    {
        nlohmann::ordered_json lease = nlohmann::ordered_json::array();
        auto it = options.begin();
        for (const ExtendedOption& option : DecodeAllOptions(options))
            lease.push_back(ExtendedOptionJson(option, (it++)->second));
        benchmark::DoNotOptimize(lease.dump());
    }
    state.SetLabel(std::to_string(options.size()) + " options");
}
BENCHMARK(BM_DecodeAllOptions60Json)->Unit(benchmark::kMicrosecond);

void BM_DecodeStructuredOptions(benchmark::State& state)
{
    const OptionMap options = StructuredOptionLease();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeAllOptions(options));
    state.SetLabel(std::to_string(options.size()) + " options");
}
BENCHMARK(BM_DecodeStructuredOptions)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
