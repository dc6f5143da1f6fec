#include "testing/dhcpv6_oracle_cases.h"

#include "core/wire/dhcpv6_message.h"

#include <algorithm>

namespace
{
using T = ValueType;

OptionBytes Join(std::initializer_list<OptionBytes> parts)
{
    OptionBytes joined;
    for (const OptionBytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

OptionBytes Text(const std::string& text)
{
    return OptionBytes(text.begin(), text.end());
}

// An option on the wire, for nesting: code and length, two bytes each.
OptionBytes Wire(std::uint16_t code, const OptionBytes& data)
{
    return Join(
        {{static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code),
          static_cast<std::uint8_t>(data.size() >> 8), static_cast<std::uint8_t>(data.size())},
         data});
}

// 2001:db8::N (RFC 3849's documentation prefix).
OptionBytes Address(std::uint8_t last)
{
    return {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, last};
}

const OptionBytes kLabName = {3, 'l', 'a', 'b', 7, 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0};
const OptionBytes kLifetimes = {0, 0, 0x0e, 0x10, 0, 0, 0x1c, 0x20}; // 3600 s, 7200 s
const OptionBytes kIaHeader = {0, 0, 0, 1, 0, 0, 0x07, 0x08, 0, 0, 0x0b, 0x40};
const OptionBytes kSuccess = Wire(13, Join({{0, 0}, Text("all is well")}));
const OptionBytes kIaAddress = Join({Address(0x10), kLifetimes});
const OptionBytes kIaPrefix = Join({kLifetimes, {56}, Address(0)});

OptionBytes TypeSample6(ValueType type)
{
    switch (type)
    {
    case T::Duid: // LLT: Ethernet, 2026-01-01 00:00:00 UTC, 02:00:00:63:00:92
        return {0, 1, 0, 1, 0x30, 0xe8, 0x75, 0x80, 0x02, 0, 0, 0x63, 0, 0x92};
    case T::IaNa:
        return Join({kIaHeader, Wire(5, Join({kIaAddress, kSuccess}))});
    case T::IaTa:
        return Join({{0, 0, 0, 2}, Wire(5, kIaAddress)});
    case T::IaAddress:
        return Join({kIaAddress, kSuccess});
    case T::IaPrefix:
        return Join({kIaPrefix, kSuccess});
    case T::OptionCodes:
        return {0, 23, 0, 24, 0, 56};
    case T::Hundredths:
        return {0x01, 0x2d};
    case T::RelayMessage: // a Relay-repl around a Reply
        return Join({{13, 0},
                     Address(1),
                     {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x92},
                     Wire(9, Join({{7, 1, 2, 3}, Wire(23, Address(0x53))}))});
    case T::Address6:
        return Address(1);
    case T::Addresses6:
        return Join({Address(0x53), Address(0x54)});
    case T::StatusCode6:
        return Join({{0, 2}, Text("no addresses")});
    case T::UserClasses6:
        return Join({{0, 7}, Text("class-a"), {0, 7}, Text("class-b")});
    case T::VendorClass6: // enterprise 32473 (RFC 5612)
        return Join({{0, 0, 0x7e, 0xd9, 0, 7}, Text("class-a")});
    case T::VendorOptions6:
        return {0, 0, 0x7e, 0xd9, 0, 1, 0, 2, 0xab, 0xcd, 0, 2, 0, 1, 0xef};
    case T::DomainList6:
        return Join({kLabName, {4, 'c', 'o', 'r', 'p'}, {7, 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0}});
    case T::DomainName6:
        return Join({{4, 'a', 'f', 't', 'r'}, kLabName});
    case T::ClientFqdn6:
        return Join({{0x01, 4, 'h', 'o', 's', 't'}, kLabName});
    case T::NtpServer:
        return Join({Wire(1, Address(0x7b)),
                     Wire(2, {0xff, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1}),
                     Wire(3, Join({{3, 'n', 't', 'p'}, kLabName}))});
    case T::LinkLayerAddress:
        return {0, 1, 0x02, 0, 0, 0x63, 0, 0x92};
    case T::Options6:
        return Wire(23, Address(0x53));
    case T::RemoteId:
        return {0, 0, 0x7e, 0xd9, 0x01, 0x02, 0x03};
    default:
        return OracleTypeSample(type);
    }
}

struct CodeSample
{
    std::uint16_t code;
    OptionBytes data;
};

const std::vector<CodeSample>& CodeSamples()
{
    static const std::vector<CodeSample> samples = {
        {7, {255}},
        {19, {5}}, // Renew
        {25, Join({kIaHeader, Wire(26, kIaPrefix)})},
        {41, Text("CET-1CEST,M3.5.0,M10.5.0/3")},
        {42, Text("Europe/Zurich")},
        {45, Wire(5, kIaAddress)},
        {59, Text("tftp://[2001:db8::69]/boot.efi")},
        {60, Join({{0, 5}, Text("quiet"), {0, 6}, Text("splash")})},
        {61, {0, 7}},
        {94, Wire(90, Address(0x90))},
        {95, Wire(90, Address(0x90))},
        {96, Wire(90, Address(0x90))},
        {103, Text("https://portal.lab.example/")},
        {111, {0, 94, 0, 95}},
        {112, Text("https://mud.lab.example/thing")},
        {116, Wire(117, Join({{4, 'h', 'o', 's', 't'}, kLabName}))},
        {127, {0, 1, 0, 0}},
    };
    return samples;
}

OptionBytes Cycled(const OptionBytes& sample, std::size_t length)
{
    OptionBytes data(length, 0);
    for (std::size_t i = 0; i < length && !sample.empty(); ++i)
        data[i] = sample[i % sample.size()];
    return data;
}

std::string SeedName(const Dhcpv6OracleCase& oracleCase)
{
    std::string name = "oracle_" + std::to_string(oracleCase.code) + "_";
    for (const char c : oracleCase.name)
        name += c == ' ' || c == '-' || c == ',' ? '_' : c;
    return name;
}

SeedFile OptionSeed(const Dhcpv6OracleCase& oracleCase)
{
    SeedFile seed = {"dhcpv6_option/" + SeedName(oracleCase),
                     {static_cast<std::uint8_t>(oracleCase.code >> 8),
                      static_cast<std::uint8_t>(oracleCase.code)}};
    seed.m_Bytes.insert(seed.m_Bytes.end(), oracleCase.data.begin(), oracleCase.data.end());
    return seed;
}
} // namespace

OptionBytes Dhcpv6OracleSample(const Dhcpv6Row& row)
{
    for (const CodeSample& sample : CodeSamples())
        if (sample.code == row.nCode)
            return sample.data;
    return TypeSample6(row.type);
}

std::vector<Dhcpv6OracleCase> Dhcpv6SampleCases()
{
    std::vector<Dhcpv6OracleCase> cases;
    for (const Dhcpv6Row& row : kDhcpv6Options)
        cases.push_back({"sample", row.nCode, Dhcpv6OracleSample(row)});
    return cases;
}

std::vector<Dhcpv6OracleCase> Dhcpv6EdgeCases()
{
    std::vector<Dhcpv6OracleCase> cases;
    for (const Dhcpv6Row& row : kDhcpv6Options)
    {
        const OptionBytes sample = Dhcpv6OracleSample(row);
        const std::size_t size = sample.size();
        const std::pair<const char*, std::size_t> lengths[] = {
            {"empty", 0},
            {"one short", size > 0 ? size - 1 : 0},
            {"one long", size + 1},
        };
        std::vector<std::size_t> taken = {size};
        for (const auto& [name, length] : lengths)
        {
            if (std::find(taken.begin(), taken.end(), length) != taken.end())
                continue;
            taken.push_back(length);
            cases.push_back({name, row.nCode, Cycled(sample, length)});
        }
    }
    return cases;
}

std::vector<Dhcpv6OracleCase> Dhcpv6HostileCases()
{
    OptionBytes relayed = Join({{7, 0, 0, 1}, kSuccess});
    for (int level = 0; level < 12; ++level)
        relayed = Join({{7, 0, 0, 1}, Wire(9, relayed)});
    OptionBytes fullPd = kIaHeader;
    while (fullPd.size() + 29 <= 0xFFFF - 100)
        fullPd = Join({fullPd, Wire(26, kIaPrefix)});
    const OptionBytes overrun = {0, 5, 0, 40, 1, 2, 3};
    return {
        {"address overruns its association", 3, Join({kIaHeader, overrun})},
        {"address header cut short", 3, Join({kIaHeader, {0, 5, 0}})},
        {"status overruns its address", 3,
         Join({kIaHeader, Wire(5, Join({kIaAddress, {0, 13, 0, 9, 0, 0}}))})},
        {"status overruns its address in a temporary association", 4,
         Join({{0, 0, 0, 2}, Wire(5, Join({kIaAddress, {0, 13, 0, 9, 0, 0}}))})},
        {"prefix overruns its delegation", 25, Join({kIaHeader, {0, 26, 0, 30}, kIaPrefix})},
        {"prefix longer than 128 bits", 25,
         Join({kIaHeader, Wire(26, Join({kLifetimes, {129}, Address(0)}))})},
        {"prefix cut inside its address", 26, Join({kLifetimes, {56}, {0x20, 0x01}})},
        {"relayed option overruns the message", 9, Join({{7, 0, 0, 1}, overrun})},
        {"relayed message cut inside its addresses", 9, Join({{12, 0}, Address(1)})},
        {"messages relayed 13 deep", 9, relayed},
        {"llt duid cut inside its time", 1, {0, 1, 0, 1, 0x30}},
        {"uuid duid one byte short",
         2,
         {0, 4, 0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd,
          0xee}},
        {"duid over 130 bytes", 1, Join({{0, 2, 0, 0, 0x7e, 0xd9}, OptionBytes(200, 0xab)})},
        {"domain list compressed", 24, Join({kLabName, {4, 'c', 'o', 'r', 'p', 0xc0, 0}})},
        {"label past the end", 24, {5, 'l', 'a', 'b'}},
        {"name without its root", 24, {3, 'l', 'a', 'b'}},
        {"ntp address cut short", 56, Wire(1, {0x20, 0x01, 0x0d, 0xb8})},
        {"ntp suboption overruns", 56, {0, 1, 0, 20, 0x20, 0x01}},
        {"vendor suboption overruns", 17, {0, 0, 0x7e, 0xd9, 0, 1, 0, 9, 0xab}},
        {"user class overruns", 15, {0, 9, 'c', 'l', 'a', 's', 's'}},
        {"option request of an odd length", 6, {0, 23, 0}},
        {"status without its code", 13, {0}},
        {"dns server cut short", 23, Join({Address(0x53), {0x20, 0x01}})},
        {"delegation of 2256 prefixes", 25, fullPd},
    };
}

std::vector<std::uint8_t> Dhcpv6OracleReply(const Dhcpv6Options& options)
{
    Dhcpv6Message reply;
    reply.type = kDhcpv6Reply;
    reply.transactionId = 0x5eed01;
    reply.options = options;
    return WriteDhcpv6Message(reply);
}

std::vector<SeedFile> Dhcpv6OracleSeeds()
{
    std::vector<SeedFile> seeds;
    std::vector<std::pair<ValueType, OptionBytes>> layouts;
    for (const Dhcpv6OracleCase& edge : Dhcpv6EdgeCases())
    {
        const ValueType type = kDhcpv6Options.Find(edge.code)->type;
        if (std::find(layouts.begin(), layouts.end(), std::make_pair(type, edge.data)) !=
            layouts.end())
            continue;
        layouts.emplace_back(type, edge.data);
        seeds.push_back(OptionSeed(edge));
    }
    Dhcpv6Options samples;
    for (const Dhcpv6OracleCase& sample : Dhcpv6SampleCases())
        samples.push_back({sample.code, sample.data});
    seeds.push_back({"dhcpv6_message/oracle_every_row", Dhcpv6OracleReply(samples)});
    for (const Dhcpv6OracleCase& hostile : Dhcpv6HostileCases())
    {
        seeds.push_back(OptionSeed(hostile));
        seeds.push_back({"dhcpv6_message/" + SeedName(hostile),
                         Dhcpv6OracleReply({{hostile.code, hostile.data}})});
    }
    return seeds;
}
