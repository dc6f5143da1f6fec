// The command's JSON documents byte for byte, against tests/golden/veyra-*.json.
// A change meant to show in them is made with VEYRA_UPDATE_GOLDEN=1 in the
// environment, which writes what the code prints over the files; their diff
// is then the change.
#include "app/cli/all_options_output.h"
#include "app/cli/census_json.h"
#include "app/cli/census_metrics.h"
#include "app/cli/census_verdict.h"
#include "app/cli/result_output.h"
#include "core/wire/dhcpv6_option_text.h"
#include "core/wire/hex_digit.h"
#include "core/wire/udp_datagram.h"
#include "testing/fake_ipv6.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace
{
using namespace std::chrono_literals;

std::string GoldenPath(const std::string& name)
{
    return std::string(VEYRA_GOLDEN_DATA) + "/" + name;
}

void ExpectGolden(const std::string& name, const std::string& actual)
{
    const std::string path = GoldenPath(name);
    if (std::getenv("VEYRA_UPDATE_GOLDEN") != nullptr)
    {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << path;
    const std::string expected(std::istreambuf_iterator<char>(file), {});
    EXPECT_EQ(expected, actual) << name;
}

// veyra-lease.in: "CODE [HEX]" a line, # comments.
OptionMap ReadLeaseOptions()
{
    std::ifstream file(GoldenPath("veyra-lease.in"));
    EXPECT_TRUE(file);
    OptionMap options;
    std::string line;
    while (std::getline(file, line))
    {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        unsigned code = 0;
        std::string hex;
        words >> code >> hex;
        OptionBytes& data = options[static_cast<std::uint8_t>(code)];
        for (std::size_t at = 0; at + 1 < hex.size(); at += 2)
            data.push_back(
                static_cast<std::uint8_t>(HexDigit(hex[at]) * 16 + HexDigit(hex[at + 1])));
    }
    return options;
}

OptionBytes Bytes(std::string_view text)
{
    return OptionBytes(text.begin(), text.end());
}

// Every catalogue row, with what a hostile server or client file can put in
// some of them.
Lease GoldenLease()
{
    using namespace std::string_view_literals;
    Lease lease;
    lease.m_mapOptions = ReadLeaseOptions();
    const std::pair<std::uint8_t, OptionBytes> hostile[] = {
        {3, {10, 77, 0}}, // a router cut short
        // C0 and C1 controls, DEL.
        {12, Bytes("host\x1b[2J\x07\xC2\x9B"
                   "31m\x7F")},
        // A right-to-left override, a zero-width space, an isolate.
        {14, Bytes("dump\xE2\x80\xAE"
                   "fdp.exe\xE2\x80\x8B\xE2\x81\xA6x")},
        // A stray continuation byte, an overlong NUL, a surrogate, a cut sequence.
        {15, Bytes("lab\x80.\xC0\x80.\xED\xA0\x80.\xE2\x82")},
        {17, Bytes("/srv/\"root\"\\x\0end"sv)}, // quotes, a backslash, a NUL
        {43, {1, 5, 0xAA}},                     // a vendor sub-option past the end
        {66, Bytes("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80")}, // kept as it is
        {67, Bytes("boot.efi\0"sv)},                              // a trailing NUL
        {82, {1, 9, 'a', 'b', 'c'}},                              // a sub-option past the end
        {119, {0xC0, 0x00}},                                      // a name pointing at itself
        {121, {8, 10, 10, 0, 0}},                                 // a route cut inside its router
        {151, {0, 'o', 0xFF, 'k'}},                               // a status that is not UTF-8
        {224, {0x00, 0x1B, 0xFF}},                                // a code no row has
    };
    for (const auto& [code, data] : hostile)
        lease.m_mapOptions[code] = data;
    for (const auto& option : lease.m_mapOptions)
        lease.m_mapSources[option.first] = "dhcpcd";
    lease.m_mapSources[12] = "inform";
    lease.m_mapSources[54] = "inform";
    lease.m_mapSources.erase(224);
    lease.m_CutOptions = {12, 66};
    lease.m_Unmapped = {
        {"ms-classless-static-routes", std::nullopt, "24,10,99,1", "dhclient"},
        {"domain-search", 119, "\"lab.example\x1b]0;x\x07\", \"\xE2\x80\xAEx\"", "dhclient"},
        {"x\xFFy", std::nullopt, "\xC3(\xC2\x85", "NetworkManager"},
    };
    lease.m_tObtained = 1796738587; // 2026-12-08T14:03:07+00:00 (the suite runs with TZ=UTC)
    return lease;
}

TEST(GoldenOutput, RowsAsJson)
{
    // The window shows a lease time as the moment it ends, counted from now;
    // an infinite one as a fixed text.
    Lease lease = GoldenLease();
    for (const std::uint8_t code : std::initializer_list<std::uint8_t>{51, 58, 59})
        lease.m_mapOptions[code] = {0xFF, 0xFF, 0xFF, 0xFF};
    ExpectGolden("veyra-rows.json", FormatJson(&lease, nullptr));
}

TEST(GoldenOutput, AllOptionsAsJson)
{
    ExpectGolden("veyra-all.json", FormatAllJson("vyg-\xE2\x80\xAE\x1b", GoldenLease()));
}

// Both families: a short IPv4 lease, then a DHCPv6 lease with hostile bytes,
// an Information-request's answer and two routers.
TEST(GoldenOutput, BothFamiliesAsJson)
{
    Lease lease;
    lease.m_mapOptions = {{1, {255, 255, 255, 0}}, {54, {10, 99, 0, 1}}};
    lease.m_mapSources = {{1, "dhcpcd"}, {54, "dhcpcd"}};
    const Ipv6Part part = fake_ipv6::SamplePart();
    ExpectGolden("veyra-rows6.json", FormatJson(&lease, &part));
    ExpectGolden("veyra-all6.json", FormatAllJson("vyg-cli", lease, &part));
}

TEST(GoldenOutput, AdaptersAsJson)
{
    AdapterInfo full;
    full.m_nType = 6;
    full.m_strAdapterName = "vcli";
    full.m_strDescription = "veth";
    full.m_strMacAddress = "02:00:00:99:00:02";
    full.m_strSubnetMask = "255.255.255.0";
    full.m_IpAddresses = {"10.99.0.146", "10.99.1.7"};
    full.m_Ipv6Addresses = {"2001:db8:99::92/64", "fe80::ff:fe99:2/64"};
    full.m_Gateways = {"10.99.0.1"};
    full.m_bDhcpEnabled = 1;
    full.m_DhcpServers = {"10.99.0.1"};
    full.m_DnsServers = {"10.99.0.1", "10.99.0.2"};
    full.m_tLeaseObtained = 1796738587;
    full.m_tLeaseExpires = 1796742187;
    AdapterInfo hostile;
    hostile.m_nType = 1;
    hostile.m_strAdapterName = "e\xFFx\x1b[2J";
    hostile.m_strDescription = "\xE2\x80\xAE"
                               "evil \"card\" \\";
    AdapterInfo bare;
    bare.m_strAdapterName = "lo";
    ExpectGolden("veyra-adapters.json", FormatAdaptersJson({full, hostile, bare}));
}

constexpr std::uint32_t kXid = 0x5EED1234;
constexpr HardwareAddress kClient = {0x02, 0x00, 0x00, 0x77, 0x00, 0x02};
constexpr HardwareAddress kServerMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0x01};
constexpr HardwareAddress kRogueMac = {0x02, 0x00, 0x00, 0x77, 0x00, 0x66};

std::vector<std::uint8_t> Reply(std::uint32_t from, std::uint32_t xid, std::uint8_t type,
                                const OptionMap& options)
{
    BootpMessage message;
    message.m_nOp = kBootReply;
    message.m_nHardwareType = 1;
    message.m_nHardwareLength = 6;
    message.m_nTransactionId = xid;
    message.m_nYourAddress = 0x0A4D0064;
    std::copy(kClient.begin(), kClient.end(), message.m_ClientHardware.begin());
    message.m_mapOptions = options;
    message.m_mapOptions[kOptionMessageType] = {type};
    UdpEndpoints endpoints;
    endpoints.m_nSourceAddress = from;
    endpoints.m_nDestinationAddress = 0xFFFFFFFF;
    endpoints.m_nSourcePort = kDhcpServerPort;
    endpoints.m_nDestinationPort = kDhcpClientPort;
    return BuildUdpPacket(endpoints, SerializeBootpMessage(message));
}

// The real server twice, a rogue with its id from another MAC, one without
// an id, and what is not an offer to us, as the untagged link's census.
CensusResult GoldenDiscovery()
{
    const OptionMap real = {
        {1, {255, 255, 255, 0}},           {3, {10, 77, 0, 1}},
        {6, {10, 77, 0, 1, 10, 77, 0, 2}}, {15, Bytes("lab\x1b[2J\xE2\x80\xAE")},
        {51, {0, 0, 0x0E, 0x10}},          {54, {10, 77, 0, 1}}};
    OptionMap rogue = real;
    rogue[3] = {10, 77, 0, 66};
    OptionMap noId = real;
    noId.erase(54);
    noId[51] = {0, 0, 0x02};
    const struct
    {
        std::uint32_t from;
        HardwareAddress mac;
        std::uint32_t xid;
        std::uint8_t type;
        const OptionMap& options;
    } packets[] = {
        {0x0A4D0001, kServerMac, kXid, kDhcpOffer, real},
        {0x0A4D0001, kServerMac, kXid, kDhcpOffer, real},
        {0x0A4D0001, kRogueMac, kXid, kDhcpOffer, rogue},
        {0x0A4D0005, kRogueMac, kXid, kDhcpOffer, noId},
        {0x0A4D0001, kServerMac, kXid + 1, kDhcpOffer, real},
        {0x0A4D0001, kServerMac, kXid, kDhcpNak, {}},
    };
    ServerDiscovery discovery(kXid, kClient);
    for (const auto& packet : packets)
    {
        const std::vector<std::uint8_t> bytes =
            Reply(packet.from, packet.xid, packet.type, packet.options);
        discovery.Take(bytes.data(), bytes.size(), packet.mac);
    }
    const std::uint8_t garbage[] = {0x45, 0x00, 0x00};
    discovery.Take(garbage, sizeof garbage, kRogueMac);

    VlanCensus vlan;
    vlan.probe.clientMac = kClient;
    vlan.probe.transactionId = kXid;
    vlan.probe.transactionId6 = 0x00C0FFEE;
    vlan.probe.clientDuid = {0, 3, 0, 1, 0x02, 0x00, 0x00, 0x77, 0x00, 0x02};
    vlan.seen.frames = 7;
    vlan.firstOffer = 120ms;
    vlan.counts = discovery.Counts();
    vlan.servers = discovery.TakeServers();
    vlan.servers.at(1).flags |= kServerUnexpected; // as --expect 10.77.0.1@MAC flags it
    CensusResult result;
    result.vlans = {std::move(vlan)};
    return result;
}

// Two VLANs of a trunk: on 10 a DHCPv6 server and a router with every
// option, on 20 a rogue router with a hostile search list; 30 silent.
CensusResult GoldenVlanCensus()
{
    CensusResult result;
    result.families = kCensusDhcpv6 | kCensusRouters;
    const Ipv6Address server = {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const Ipv6Address dns = {0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x53};
    const Ipv6Address prefix = {0x20, 0x01, 0x0D, 0xB8, 0, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const std::uint16_t id : {std::uint16_t{10}, std::uint16_t{20}, std::uint16_t{30}})
    {
        VlanCensus vlan;
        vlan.probe.vlan = id;
        vlan.probe.clientMac = {0x06, 0, 0, 0, 0, static_cast<std::uint8_t>(id)};
        vlan.probe.transactionId6 = 0x000A00u + id;
        vlan.probe.clientDuid = {0, 3, 0, 1, 0x06, 0, 0, 0, 0, static_cast<std::uint8_t>(id)};
        result.vlans.push_back(std::move(vlan));
    }
    DiscoveredServer6 server6;
    server6.duid = {0, 1, 0, 1, 0x30, 0x2B, 0x1C, 0x00, 0x02, 0x00, 0x00, 0x77, 0x00, 0x01};
    server6.path = {server, kServerMac};
    server6.advertises = 2;
    server6.preference = 10;
    server6.options = {{1, result.vlans[0].probe.clientDuid},
                       {2, server6.duid},
                       {7, {10}},
                       {23, OptionBytes(dns.begin(), dns.end())},
                       {24, {3, 'l', 'a', 'b', 7, 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0}}};
    AdvertisedRouter router;
    router.address = server;
    router.mac = kServerMac;
    router.linkLayerOption = kServerMac;
    router.hopLimit = 64;
    router.managed = true;
    router.otherConfig = true;
    router.preference = RouterPreference::High;
    router.lifetime = 1800;
    router.prefixes = {{prefix, 64, true, true, 0xFFFFFFFF, 14400}};
    router.mtu = 1500;
    router.dnsServers = {{600, {dns}}};
    router.searchLists = {{600, {"lab.example"}}};
    router.advertisements = 3;
    AdvertisedRouter rogue = router;
    rogue.mac = kRogueMac;
    rogue.linkLayerOption.reset();
    rogue.searchLists = {{600, {"lab\x1b[2J\xE2\x80\xAE"}}};
    rogue.flags = kRouterUnexpected;
    VlanCensus& ten = result.vlans[0];
    ten.seen.frames = 6;
    ten.servers6 = {server6};
    ten.counts6 = {3, 2, 1, 0, 0, 0, 0, 0};
    ten.firstAdvertise = std::chrono::microseconds(2250);
    ten.routers = {router};
    ten.routerCounts = {3, 3, 0, 0, 0};
    ten.firstRouter = std::chrono::microseconds(800);
    VlanCensus& twenty = result.vlans[1];
    twenty.seen = {2, 0, 1};
    twenty.routers = {rogue};
    twenty.routerCounts = {1, 1, 0, 0, 0};
    twenty.firstRouter = 5ms;
    result.unplannedFrames = 2;
    return result;
}

TEST(GoldenOutput, DiscoveryAsJson)
{
    const CensusResult result = GoldenDiscovery();
    const CensusVerdict verdict =
        JudgeCensus("vyg-cli", 5s, result, {*ParseApprovedEntry("10.77.0.1@02:00:00:77:00:01")});
    ExpectGolden("veyra-discover.json", FormatCensusJson("vyg-cli", 5s, result, verdict, false));
    ExpectGolden("veyra-discover-all.json", FormatCensusJson("vyg-cli", 5s, result, verdict, true));
    const CensusVerdict unexpected =
        JudgeCensus("vyg-cli", 5s, GoldenVlanCensus(), {*ParseApprovedEntry("02:00:00:77:00:01")});
    ExpectGolden("veyra-discover-vlans.json",
                 FormatCensusJson("vyg-cli", 5s, GoldenVlanCensus(), unexpected, true));
}
// The trunk's census with the untagged discovery's DHCPv4 servers on VLAN 10,
// an interface name of hostile bytes, and both leases.
TEST(GoldenOutput, CensusAsPrometheusMetrics)
{
    CensusResult result = GoldenVlanCensus();
    result.families = kCensusAll;
    result.vlans[0].servers = GoldenDiscovery().vlans[0].servers;
    result.vlans[0].firstOffer = 120ms;
    DiscoverCommand command;
    command.interfaceName = "vym-\"\\\n\xE2\x80\xAE\xFF";
    command.approved = {*ParseApprovedEntry("10.77.0.1@02:00:00:77:00:01"),
                        *ParseApprovedEntry("02:00:00:77:00:01")};
    FlagUnexpected(result, command.approved);
    const CensusVerdict verdict = JudgeCensus(command.interfaceName, 5s, result, command.approved);
    InterfaceLeases leases;
    leases.error = 0;
    leases.lease.m_mapOptions = {{51, {0, 0, 0x0E, 0x10}}, {54, {10, 77, 0, 1}}};
    leases.lease.m_mapSources = {{51, "dhcpcd"}, {54, "dhcpcd"}};
    leases.lease.m_nYourAddress = 0x0A4D0064;
    leases.lease.m_tObtained = 1796947200; // 2026-12-11 00:00:00 UTC
    const Ipv6Address address = {0x20, 0x01, 0x0D, 0xB8, 0, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0};
    leases.error6 = 0;
    leases.lease6.source = "dhcpcd";
    leases.lease6.obtained = 1796947200;
    leases.lease6.options = {
        {2, {0, 3, 0, 1, 0x02, 0x00, 0x00, 0x77, 0x00, 0x01}},
        IdentityAssociation(3, {0, 0, 0, 1}, 1800, 2880, {IaAddress(address, 3600, 7200)})};
    ExpectGolden("veyra-metrics.prom",
                 FormatCensusMetrics(command, &result, &verdict, leases,
                                     std::chrono::system_clock::time_point(1796950800250ms)));
}
} // namespace
