// Cost of decoding a whole DHCPv6 Reply through the DHCPv6 table, as the
// command's --all and --json and the window do. Timings live here, never in
// the tests.
#include "core/options/dhcpv6_decoder.h"
#include "core/wire/dhcpv6_message.h"

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <string>

namespace
{
using Bytes = OptionBytes;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// An option on the wire, for nesting: code, length, data.
Bytes Wire(std::uint16_t code, const Bytes& data)
{
    return Join(
        {{static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code),
          static_cast<std::uint8_t>(data.size() >> 8), static_cast<std::uint8_t>(data.size())},
         data});
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Address(std::uint8_t last)
{
    return {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, last};
}

const Bytes kLifetimes = {0, 0, 0x0e, 0x10, 0, 0, 0x1c, 0x20};
const Bytes kLabNames = {3,   'l', 'a', 'b', 7, 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0, 4,
                         'c', 'o', 'r', 'p', 7, 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0};

// A generous Reply: 40 options, of every kind a server sends, with two
// addresses in an IA_NA and two prefixes in an IA_PD.
Bytes FortyOptionReply()
{
    Dhcpv6Message reply;
    reply.type = kDhcpv6Reply;
    reply.transactionId = 0x0a0b0c;
    const Bytes status = Wire(13, Join({{0, 0}, Text("all is well")}));
    reply.options = {
        {1, {0, 1, 0, 1, 0x30, 0xe8, 0x75, 0x80, 0x02, 0, 0, 0x63, 0, 0x92}},
        {2, {0, 2, 0, 0, 0x7e, 0xd9, 0x0a, 0x0b, 0x0c, 0x0d}},
        {3, Join({{0, 0, 0, 1, 0, 0, 0x07, 0x08, 0, 0, 0x0b, 0x40},
                  Wire(5, Join({Address(0x10), kLifetimes})),
                  Wire(5, Join({Address(0x11), kLifetimes})),
                  status})},
        {4, Join({{0, 0, 0, 2}, Wire(5, Join({Address(0x12), kLifetimes}))})},
        {25, Join({{0, 0, 0, 3, 0, 0, 0x07, 0x08, 0, 0, 0x0b, 0x40},
                   Wire(26, Join({kLifetimes, {56}, Address(0)})),
                   Wire(26, Join({kLifetimes, {60}, Address(0)}))})},
        {7, {255}},
        {12, Address(1)},
        {13, Join({{0, 0}, Text("all is well")})},
        {14, {}},
        {15, Join({{0, 7}, Text("class-a")})},
        {16, Join({{0, 0, 0x7e, 0xd9, 0, 4}, Text("abcd")})},
        {17, {0, 0, 0x7e, 0xd9, 0, 1, 0, 2, 0xab, 0xcd, 0, 2, 0, 1, 0xef}},
        {19, {5}},
        {20, {}},
        {21, kLabNames},
        {22, Join({Address(5), Address(6)})},
        {23, Join({Address(0x53), Address(0x54)})},
        {24, kLabNames},
        {27, Address(7)},
        {29, kLabNames},
        {31, Address(0x7b)},
        {32, {0, 1, 0x51, 0x80}},
        {37, {0, 0, 0x7e, 0xd9, 1, 2, 3}},
        {39, Join({{1}, Bytes(kLabNames.begin(), kLabNames.begin() + 13)})},
        {41, Text("CET-1CEST,M3.5.0,M10.5.0/3")},
        {42, Text("Europe/Zurich")},
        {56, Join({Wire(1, Address(0x7b)),
                   Wire(2, {0xff, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1}),
                   Wire(3, Bytes(kLabNames.begin(), kLabNames.begin() + 13))})},
        {59, Text("tftp://[2001:db8::69]/boot.efi")},
        {60, Join({{0, 5}, Text("quiet")})},
        {61, {0, 7}},
        {64, Bytes(kLabNames.begin(), kLabNames.begin() + 13)},
        {65, Bytes(kLabNames.begin() + 13, kLabNames.end())},
        {79, {0, 1, 0x02, 0, 0, 0x63, 0, 0x92}},
        {82, {0, 0, 0x0e, 0x10}},
        {83, {0, 0, 0x0e, 0x10}},
        {86, Address(0x86)},
        {88, Address(0x88)},
        {103, Text("https://portal.lab.example/")},
        {136, Join({{0, 21}, Text("https://sztp.example/")})},
        {143, Address(0x8f)},
    };
    return WriteDhcpv6Message(reply);
}

// The options of the Reply as a lease keeps them, decoded as --json does.
void BM_DecodeReply40(benchmark::State& state)
{
    const Bytes bytes = FortyOptionReply();
    const Dhcpv6Options options = ParseDhcpv6Message(bytes.data(), bytes.size())->options;
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeAllOptions6(options));
    state.counters["options"] = static_cast<double>(options.size());
}
BENCHMARK(BM_DecodeReply40)->Unit(benchmark::kMicrosecond);

// The same for the text alone, as rows and the window decode it.
void BM_DecodeReply40Text(benchmark::State& state)
{
    const Bytes bytes = FortyOptionReply();
    const Dhcpv6Options options = ParseDhcpv6Message(bytes.data(), bytes.size())->options;
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeAllOptions6(options, ExtendedParts::Text));
}
BENCHMARK(BM_DecodeReply40Text)->Unit(benchmark::kMicrosecond);

// From the datagram's payload: the message parsed, then decoded.
void BM_ParseAndDecodeReply40(benchmark::State& state)
{
    const Bytes bytes = FortyOptionReply();
    for (auto _ : state)
    {
        const std::optional<Dhcpv6Message> reply = ParseDhcpv6Message(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(DecodeAllOptions6(reply->options));
    }
}
BENCHMARK(BM_ParseAndDecodeReply40)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
