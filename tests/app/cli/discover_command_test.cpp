#include "app/cli/all_options_output.h"
#include "app/cli/census_json.h"
#include "app/cli/census_output.h"
#include "app/cli/census_verdict.h"
#include "app/cli/command_line.h"
#include "app/cli/discover_command.h"
#include "app/cli/discover_output.h"
#include "app/cli/exit_status.h"
#include "core/wire/dhcpv6_option_text.h"

#include "testing/fake_discover_back_end.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "testing/scratch_directory.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <unistd.h>

namespace
{
using namespace std::chrono_literals;

TEST(DiscoverCommand, ReadsItsArguments)
{
    const CommandLine line = ParseCommandLine({"--discover",
                                               "eth0",
                                               "--wait",
                                               "0.25",
                                               "--expect",
                                               "10.77.0.1",
                                               "--client-mac",
                                               "02:AA:bb:cc:dd:ee",
                                               "--expect",
                                               "duid:000300010200007700ff%10",
                                               "--all",
                                               "--json",
                                               "--expect-file",
                                               "a",
                                               "--expect-file",
                                               "b",
                                               "-6",
                                               "--vlan",
                                               "30,10",
                                               "--vlan",
                                               "20-21",
                                               "--promiscuous"});
    ASSERT_TRUE(line.m_strError.empty()) << line.m_strError;
    ASSERT_TRUE(line.discover);
    const DiscoverCommand& command = line.census;
    EXPECT_EQ(command.interfaceName, "eth0");
    EXPECT_EQ(command.wait, 250ms);
    ASSERT_EQ(command.approved.size(), 2u);
    EXPECT_EQ(ApprovedEntryText(command.approved[0]), "10.77.0.1");
    EXPECT_EQ(ApprovedEntryText(command.approved[1]), "duid:000300010200007700ff%10");
    EXPECT_EQ(command.expectFiles, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(command.clientMac, (HardwareAddress{0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
    EXPECT_EQ(command.families, unsigned{kCensusDhcpv6 | kCensusRouters});
    EXPECT_EQ(command.vlans, (std::vector<std::uint16_t>{10, 20, 21, 30}));
    EXPECT_TRUE(command.promiscuous);
    EXPECT_TRUE(command.all);
    EXPECT_TRUE(command.json);

    const CommandLine plain = ParseCommandLine({"--discover", "eth0"});
    EXPECT_EQ(plain.census.wait, 5000ms);
    EXPECT_EQ(plain.census.families, unsigned{kCensusAll});
    EXPECT_TRUE(plain.census.vlans.empty());
    EXPECT_FALSE(plain.census.clientMac);
    EXPECT_FALSE(plain.census.promiscuous);
    EXPECT_EQ(ParseCommandLine({"-4", "--discover", "e", "-4"}).census.families,
              unsigned{kCensusDhcpv4});
    EXPECT_TRUE(
        ParseCommandLine({"--discover", "e", "--client-mac", "random"}).census.randomClientMac);
}

TEST(DiscoverCommand, VlanListErrorsSayWhatTheOptionTakes)
{
    const std::string usage = "--vlan takes VLAN ids from 1 to 4094 and ranges, as 10,20,100-199; ";
    const std::pair<const char*, std::string> cases[] = {
        {"10,20", ""},
        {"10,0", usage + "not one: \"0\""},
        {"10-5", usage + "a range goes up: \"10-5\""},
        {"5,\x1b[2J", usage + "not one: \"\\x1B[2J\""},
    };
    for (const auto& [text, message] : cases)
    {
        std::vector<std::uint16_t> vlans{30};
        EXPECT_EQ(ParseVlanList(text, vlans), message) << text;
        EXPECT_EQ(vlans, message.empty() ? (std::vector<std::uint16_t>{10, 20, 30})
                                         : std::vector<std::uint16_t>{30})
            << text;
    }
}

TEST(DiscoverCommand, RefusesArgumentsThatMakeNoSense)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--discover"},
        {"--discover", ""},
        {"--discover", "eth0", "--discover", "eth1"},
        {"--discover", "eth0", "eth1"},
        {"--discover", "eth0", "--tsv"},
        {"--discover", "eth0", "--inform"},
        {"--discover", "eth0", "-4", "-6"},
        {"--discover", "eth0", "--vlan"},
        {"--discover", "eth0", "--vlan", "0"},
        {"--discover", "eth0", "--wait"},
        {"--discover", "eth0", "--wait", "0"},
        {"--discover", "eth0", "--wait", "-1"},
        {"--discover", "eth0", "--wait", "601"},
        {"--discover", "eth0", "--wait", "99999999999999999999"},
        {"--discover", "eth0", "--wait", "1s"},
        {"--discover", "eth0", "--wait", ".5"},
        {"--discover", "eth0", "--client-mac", "00:1b:21:01:02:03"}, // a vendor's
        {"--discover", "eth0", "--client-mac", "03:00:00:00:00:01"}, // multicast
        {"--discover", "eth0", "--client-mac", "02:00:00:00:00"},
        {"--discover", "eth0", "--client-mac", "02:00:00:00:00:0g"},
        {"--discover", "eth0", "--expect", "10.77.0"},
        {"--discover", "eth0", "--expect", "10.77.0.256"},
        {"--discover", "eth0", "--expect", "10.77.0.1.2"},
        {"--discover", "eth0", "--expect", "0010.77.0.1"},
        {"--discover", "eth0", "--expect", "10.77.0.1@02:00:00:77:00"},
        {"--discover", "eth0", "--expect", "10.77.0.1%4095"},
        {"--discover", "eth0", "--expect", "duid:0"},
        {"--discover", "eth0", "--expect", "2001:db8::1"},
        {"--discover", "eth0", "--expect-file"},
        {"--discover", "eth0", "--expect-file", ""},
    };
    for (const std::vector<std::string>& arguments : cases)
    {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_TRUE(line.discover);
        EXPECT_FALSE(line.m_strError.empty()) << arguments.back();
    }
    // Without --discover, a census option is an error of its own.
    EXPECT_EQ(ParseCommandLine({"eth0", "--vlan", "10"}).m_strError, "--vlan needs --discover");
}

TEST(DiscoverCommand, WaitsAsLongAsAsked)
{
    const struct
    {
        const char* pszWait;
        std::chrono::milliseconds wait;
        const char* pszText;
    } cases[] = {{"3", 3000ms, "3 s"},      {"0.5", 500ms, "0.5 s"},    {"1.25", 1250ms, "1.25 s"},
                 {"0.001", 1ms, "0.001 s"}, {"600", 600000ms, "600 s"}, {"2.", 2000ms, "2 s"}};
    for (const auto& test : cases)
    {
        const CommandLine line = ParseCommandLine({"--discover", "e", "--wait", test.pszWait});
        EXPECT_TRUE(line.m_strError.empty()) << test.pszWait;
        EXPECT_EQ(line.census.wait, test.wait) << test.pszWait;
        EXPECT_EQ(WaitText(test.wait), test.pszText);
    }
}

constexpr HardwareAddress kServerMac = {0x02, 0, 0, 0x77, 0, 0x01};
constexpr HardwareAddress kRogueMac = {0x02, 0, 0, 0x77, 0, 0x66};
constexpr std::uint32_t kOne = 0x0A4D0001;
constexpr std::uint32_t kRogue = 0x0A4D00FE;
using Vlan = std::optional<std::uint16_t>;

DiscoveredServer Server(std::uint32_t id, std::uint8_t router, unsigned flags = 0,
                        const HardwareAddress& mac = kServerMac)
{
    DiscoveredServer server;
    server.serverId = id;
    server.path = {id, mac};
    server.offers = 1;
    server.flags = flags;
    server.offer.m_nYourAddress = 0x0A4D0064;
    server.offer.m_mapOptions = {{1, {255, 255, 255, 0}},
                                 {3, {10, 77, 0, router}},
                                 {6, {10, 77, 0, 1, 10, 77, 0, 2}},
                                 {51, {0, 0, 0x02, 0x58}},
                                 {53, {2}},
                                 {54, {10, 77, 0, 1}}};
    for (const auto& [code, bytes] : server.offer.m_mapOptions)
        server.offer.m_mapSources[code] = kOfferSource;
    return server;
}

DiscoveredServer WithoutId()
{
    DiscoveredServer server = Server(kOne, 5, kServerNoId, kRogueMac);
    server.serverId.reset();
    server.path.address = 0x0A4D0005;
    return server;
}

Ipv6Address LinkLocal(std::uint8_t last)
{
    return {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, last};
}

Ipv6Address Global(std::uint8_t group3, std::uint8_t last)
{
    return {0x20, 0x01, 0x0D, 0xB8, 0, group3, 0, 0, 0, 0, 0, 0, 0, 0, 0, last};
}

// A DHCPv6 server of DUID-LL 02:00:00:77:00:LAST, offering an address, a
// prefix, a DNS server and a domain.
DiscoveredServer6 Server6(std::uint8_t last, unsigned flags = 0,
                          const HardwareAddress& mac = kServerMac)
{
    DiscoveredServer6 server;
    server.duid = {0, 3, 0, 1, 2, 0, 0, 0x77, 0, last};
    server.path = {LinkLocal(last), mac};
    server.advertises = 1;
    server.flags = flags;
    server.preference = 255;
    const Ipv6Address dns = Global(0, 0x53);
    server.options = {
        {1, {0, 3, 0, 1, 2, 0, 0, 0x77, 0, 2}},
        {2, server.duid},
        IdentityAssociation(3, {0, 0, 0, 1}, 0, 0, {IaAddress(Global(0, 0x10), 3600, 7200)}),
        IdentityAssociation(25, {0, 0, 0, 1}, 0, 0, {IaPrefix(Global(1, 0), 56, 3600, 7200)}),
        {23, OptionBytes(dns.begin(), dns.end())},
        {24, {3, 'l', 'a', 'b', 7, 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0}},
    };
    return server;
}

AdvertisedRouter Router(std::uint8_t last, unsigned flags = 0,
                        const HardwareAddress& mac = kServerMac)
{
    AdvertisedRouter router;
    router.address = LinkLocal(last);
    router.mac = mac;
    router.managed = true;
    router.lifetime = 1800;
    router.prefixes = {{Global(2, 0), 64, true, true, 86400, 14400}};
    router.mtu = 1500;
    router.dnsServers = {{600, {Global(0, 0x53)}}};
    router.searchLists = {{0xFFFFFFFF, {"lab.example"}}};
    router.advertisements = 1;
    router.flags = flags;
    return router;
}

VlanCensus Heard(Vlan id, std::vector<DiscoveredServer> servers,
                 std::vector<DiscoveredServer6> servers6 = {},
                 std::vector<AdvertisedRouter> routers = {})
{
    VlanCensus vlan;
    vlan.probe.vlan = id;
    vlan.probe.clientMac = {0x02, 0, 0, 0x77, 0, 0x02};
    vlan.counts.offers = servers.size();
    vlan.counts6.advertises = servers6.size();
    vlan.routerCounts.advertisements = routers.size();
    vlan.seen.frames = servers.size() + servers6.size() + routers.size();
    vlan.servers = std::move(servers);
    vlan.servers6 = std::move(servers6);
    vlan.routers = std::move(routers);
    return vlan;
}

DiscoverOutcome RunWith(FakeDiscoverBackEnd& backEnd, const std::vector<std::string>& extra,
                        std::string& progress)
{
    std::vector<std::string> arguments = {"--discover", "vyb-cli"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const CommandLine line = ParseCommandLine(arguments);
    EXPECT_TRUE(line.m_strError.empty()) << line.m_strError;
    return RunDiscover(line.census, backEnd.Seam(),
                       [&progress](const std::string& text) { progress += text; });
}

DiscoverOutcome RunWith(FakeDiscoverBackEnd& backEnd, const std::vector<std::string>& extra = {})
{
    std::string progress;
    return RunWith(backEnd, extra, progress);
}

TEST(DiscoverCommand, ExitStatusSaysWhetherEveryLinkIsAsItShouldBe)
{
    const Vlan untagged;
    const struct
    {
        const char* name;
        std::vector<VlanCensus> vlans;
        std::vector<std::string> extra;
        int status;
        std::string message;
    } cases[] = {
        {"nothing",
         {Heard(untagged, {})},
         {"--wait", "0.2"},
         kExitNoServer,
         "veyra: no DHCP server, DHCPv6 server or router answered on vyb-cli within 0.2 s\n"},
        {"nothing, DHCPv4 alone",
         {Heard(untagged, {})},
         {"-4", "--wait", "0.2"},
         kExitNoServer,
         "veyra: no DHCP server answered on vyb-cli within 0.2 s\n"},
        {"nothing, IPv6 alone",
         {Heard(untagged, {})},
         {"-6"},
         kExitNoServer,
         "veyra: no DHCPv6 server or router answered on vyb-cli within 5 s\n"},
        {"one of each",
         {Heard(untagged, {Server(kOne, 1)}, {Server6(1)}, {Router(1)})},
         {},
         kExitDone,
         ""},
        {"a router alone", {Heard(untagged, {}, {}, {Router(1)})}, {}, kExitDone, ""},
        {"a router alone, DHCPv4 asked",
         {Heard(untagged, {}, {}, {Router(1)})},
         {"-4"},
         kExitNoServer,
         "veyra: no DHCP server answered on vyb-cli within 5 s\n"},
        {"two DHCPv4 servers",
         {Heard(untagged, {Server(kOne, 1), Server(kRogue, 254)})},
         {},
         kExitOtherServers,
         "veyra: 2 DHCP servers answered on vyb-cli: 10.77.0.1, 10.77.0.254\n"},
        {"two DHCPv6 servers",
         {Heard(untagged, {}, {Server6(1), Server6(2, 0, kRogueMac)})},
         {},
         kExitOtherServers,
         "veyra: 2 DHCPv6 servers answered on vyb-cli: duid:00030001020000770001 from fe80::1 "
         "02:00:00:77:00:01, duid:00030001020000770002 from fe80::2 02:00:00:77:00:66\n"},
        {"two routers",
         {Heard(untagged, {}, {}, {Router(1), Router(2, 0, kRogueMac)})},
         {},
         kExitOtherServers,
         "veyra: 2 routers answered on vyb-cli: fe80::1 02:00:00:77:00:01, fe80::2 "
         "02:00:00:77:00:66\n"},
        {"one router address from two MACs",
         {Heard(untagged, {}, {},
                {Router(1, kRouterConflict), Router(1, kRouterConflict, kRogueMac)})},
         {},
         kExitOtherServers,
         "veyra: conflicting routers at fe80::1 on vyb-cli: from 02:00:00:77:00:01, "
         "02:00:00:77:00:66\n"
         "veyra: 2 routers answered on vyb-cli: fe80::1 02:00:00:77:00:01, fe80::1 "
         "02:00:00:77:00:66\n"},
        {"one DUID from two paths, both expected",
         {Heard(untagged, {},
                {Server6(1, kServer6Conflict), Server6(1, kServer6Conflict, kRogueMac)})},
         {"--expect", "duid:00030001020000770001"},
         kExitOtherServers,
         "veyra: conflicting Advertises for DUID LL, hardware 1, 02:00:00:77:00:01 on vyb-cli: "
         "from "
         "fe80::1 02:00:00:77:00:01, fe80::1 02:00:00:77:00:66\n"},
        {"one VLAN of two silent",
         {Heard(10, {Server(kOne, 1)}), Heard(20, {})},
         {"--vlan", "10,20"},
         kExitNoServer,
         "veyra: no DHCP server, DHCPv6 server or router answered on vyb-cli VLAN 20 within 5 s\n"},
        {"two VLANs of three silent",
         {Heard(10, {}), Heard(20, {}, {Server6(1)}), Heard(30, {})},
         {"--vlan", "10-30"},
         kExitNoServer,
         "veyra: no DHCP server, DHCPv6 server or router answered on vyb-cli VLANs 10, 30 within "
         "5 s\n"},
        {"a rogue on one VLAN outweighs a silent one",
         {Heard(10, {}), Heard(20, {Server(kOne, 1), Server(kRogue, 254)})},
         {"--vlan", "10,20"},
         kExitOtherServers,
         "veyra: 2 DHCP servers answered on vyb-cli VLAN 20: 10.77.0.1, 10.77.0.254\n"
         "veyra: no DHCP server, DHCPv6 server or router answered on vyb-cli VLAN 10 within 5 s\n"},
        {"every family as listed",
         {Heard(untagged, {Server(kOne, 1)}, {Server6(1)}, {Router(1), Router(2)})},
         {"--expect", "10.77.0.1", "--expect", "duid:00030001020000770001", "--expect", "fe80::1",
          "--expect", "02:00:00:77:00:01"},
         kExitDone,
         ""},
        {"a router approved on its VLAN, heard on another",
         {Heard(10, {}, {}, {Router(1)}), Heard(20, {}, {}, {Router(1)})},
         {"--vlan", "10,20", "--expect", "02:00:00:77:00:01%10"},
         kExitOtherServers,
         "veyra: unexpected router on vyb-cli VLAN 20: fe80::1 02:00:00:77:00:01 (none of its kind "
         "expected)\n"},
        {"a listed family silent",
         {Heard(untagged, {Server(kOne, 1)})},
         {"--expect", "10.77.0.1", "--expect", "duid:00030001020000770001"},
         kExitNoServer,
         "veyra: no DHCPv6 server answered on vyb-cli within 5 s, where the list expects one\n"},
        {"a listed family silent on the listed VLAN only",
         {Heard(10, {Server(kOne, 1)}), Heard(20, {Server(kOne, 1)})},
         {"-4", "--vlan", "10,20", "--expect", "10.77.0.1", "--expect", "fe80::1%20"},
         kExitDone,
         ""},
        {"a listed family not asked",
         {Heard(untagged, {Server(kOne, 1)})},
         {"-4", "--expect", "10.77.0.1", "--expect", "duid:00030001020000770001"},
         kExitDone,
         ""},
        {"a DHCPv6 server where only DHCPv4 is listed",
         {Heard(untagged, {Server(kOne, 1)}, {Server6(2)})},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: unexpected DHCPv6 server on vyb-cli: duid:00030001020000770002 from fe80::2 "
         "02:00:00:77:00:01 (none of its kind expected)\n"},
        {"the expected one by MAC",
         {Heard(untagged, {Server(kOne, 1)})},
         {"--expect", "10.77.0.1@02:00:00:77:00:01"},
         kExitDone,
         ""},
        {"another than expected",
         {Heard(untagged, {Server(kRogue, 254)})},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.254 (expected only 10.77.0.1)\n"},
        {"the expected id from another MAC",
         {Heard(untagged, {Server(kOne, 1, 0, kRogueMac)})},
         {"--expect", "10.77.0.1@02:00:00:77:00:01"},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.1 "
         "(expected only 10.77.0.1@02:00:00:77:00:01)\n"},
        {"a rogue with the real id and MAC, unexpected",
         {Heard(untagged,
                {Server(kOne, 1, kServerConflict), Server(kOne, 66, kServerConflict, kRogueMac)})},
         {"--expect", "10.77.0.1@02:00:00:77:00:01"},
         kExitOtherServers,
         "veyra: conflicting offers for server id 10.77.0.1 on vyb-cli (another source, or "
         "other routers, DNS servers or subnet mask): from 10.77.0.1 02:00:00:77:00:01, "
         "10.77.0.1 02:00:00:77:00:66\n"
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.1@02:00:00:77:00:66 "
         "(expected only 10.77.0.1@02:00:00:77:00:01)\n"},
        {"one without server id and the expected one",
         {Heard(untagged, {Server(kOne, 1), WithoutId()})},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: an offer without server id, against RFC 2131 on vyb-cli, from 10.77.0.5 "
         "02:00:00:77:00:66\n"
         "veyra: unexpected DHCP server on vyb-cli: no id from 10.77.0.5 (expected only "
         "10.77.0.1)\n"},
    };
    for (const auto& test : cases)
    {
        FakeDiscoverBackEnd backEnd;
        backEnd.vlans = test.vlans;
        const DiscoverOutcome outcome = RunWith(backEnd, test.extra);
        EXPECT_EQ(outcome.status, test.status) << test.name;
        // The verdict's lines, then the counts (which never start with "veyra:").
        EXPECT_EQ(outcome.err.substr(0, test.message.size()), test.message) << test.name;
        EXPECT_EQ(outcome.err.find("veyra:", test.message.size()), std::string::npos)
            << test.name << ": " << outcome.err;
        EXPECT_FALSE(outcome.out.empty()) << test.name;
    }
}

TEST(DiscoverCommand, ReadsApprovedListsFromFiles)
{
    const CScratchDirectory scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const auto write = [&scratch](const std::string& name, const std::string& text)
    {
        const std::string path = scratch.Path() + "/" + name;
        std::ofstream(path) << text;
        return path;
    };
    const std::string good = write("good", "# the link's servers\n10.77.0.1@02:00:00:77:00:01\n\n"
                                           "10.77.0.254 # spare\nfe80::1%10\n");
    const std::string bad = write("bad", "10.77.0.1\n# fine\n10.77.0.1@02:00\n");
    const std::string link = scratch.Path() + "/link";
    ASSERT_EQ(symlink(good.c_str(), link.c_str()), 0);

    const struct
    {
        std::vector<std::string> extra;
        int status;
        std::string errStart;
    } cases[] = {
        {{"--expect-file", good}, kExitDone, "2 servers from 2 offers"},
        {{"--expect", "10.77.0.254", "--expect-file", write("one", "10.77.0.1")},
         kExitDone,
         "2 servers from 2 offers"},
        {{"--expect-file", write("only-one", "10.77.0.1\n")},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.254 (expected only 10.77.0.1)\n"},
        {{"--expect-file", good, "--expect-file", bad},
         kExitUsage,
         "veyra: " + bad +
             ":3: not an approved entry (ID[@MAC], duid:HEX, fe80::... or MAC, each with an "
             "optional %VLAN)\n"},
        {{"--expect-file", write("long",
                                 []
                                 {
                                     std::string text = "# many\n";
                                     for (std::size_t i = 0; i <= kMaxApprovedServers; ++i)
                                         text += "10.77.0.1\n";
                                     return text;
                                 }())},
         kExitUsage,
         "veyra: " + scratch.Path() + "/long:1026: more than 1024 entries\n"},
        {{"--expect-file", scratch.Path() + "/absent"},
         kExitUsage,
         "veyra: cannot read --expect-file " + scratch.Path() + "/absent: "},
        {{"--expect-file", link}, kExitUsage, "veyra: cannot read --expect-file " + link + ": "},
    };
    for (const auto& test : cases)
    {
        FakeDiscoverBackEnd backEnd;
        backEnd.vlans = {Heard(std::nullopt, {Server(kOne, 1), Server(kRogue, 254)})};
        std::vector<std::string> arguments = {"-4"};
        arguments.insert(arguments.end(), test.extra.begin(), test.extra.end());
        const DiscoverOutcome outcome = RunWith(backEnd, arguments);
        EXPECT_EQ(outcome.status, test.status) << test.extra.back();
        EXPECT_EQ(outcome.err.substr(0, test.errStart.size()), test.errStart) << outcome.err;
        // A bad list ends the run before anything is sent.
        EXPECT_EQ(!backEnd.settings, test.status == kExitUsage);
    }
}

TEST(DiscoverCommand, ShowsProgressOnATerminalOnly)
{
    FakeDiscoverBackEnd terminal;
    terminal.terminal = true;
    terminal.vlans = {Heard(10, {Server(kOne, 1)}), Heard(20, {Server(kOne, 1)})};
    terminal.progress = {5000ms, 4950ms, 4901ms, 4899ms, 1ms, 0ms};
    std::string progress;
    const DiscoverOutcome outcome = RunWith(terminal, {"--vlan", "10,20"}, progress);
    EXPECT_EQ(outcome.status, kExitDone);
    const std::string line = "\rCensus on vyb-cli, 2 VLANs: ";
    EXPECT_EQ(progress, line + "5.0 s left, 0 answers so far\x1b[K" + // 4950 is the same tenth
                            line + "4.9 s left, 0 answers so far\x1b[K" + line +
                            "4.8 s left, 0 answers so far\x1b[K" + line +
                            "0.0 s left, 0 answers so far\x1b[K" + "\r\x1b[K");

    FakeDiscoverBackEnd pipe;
    pipe.vlans = {Heard(std::nullopt, {Server(kOne, 1)})};
    std::string announced;
    RunWith(pipe, {"--wait", "2.5"}, announced);
    EXPECT_FALSE(pipe.settings->progress);
    EXPECT_EQ(announced, "Census on vyb-cli for 2.5 s...\n");
}

TEST(DiscoverCommand, TellsWhyItCouldNotLook)
{
    const struct
    {
        int error;
        int status;
        const char* text;
    } cases[] = {
        {EPERM, kExitNoPermission, "needs root or CAP_NET_RAW: run it as root"},
        {EACCES, kExitNoPermission, "needs root or CAP_NET_RAW: run it as root"},
        {ENODEV, kExitNoAdapter, "No Interfaces Present"},
        {ENOENT, kExitFailed, "vyb-cli is not an Ethernet interface; a census needs one"},
        {ENETDOWN, kExitFailed, "census on vyb-cli failed: "},
    };
    for (const auto& test : cases)
    {
        FakeDiscoverBackEnd backEnd;
        backEnd.error = test.error;
        const DiscoverOutcome outcome = RunWith(backEnd);
        EXPECT_EQ(outcome.status, test.status) << test.error;
        EXPECT_NE(outcome.err.find(test.text), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty());
    }
}

TEST(DiscoverCommand, HandsWhatWasAskedToTheBackEnd)
{
    FakeDiscoverBackEnd own;
    RunWith(own);
    EXPECT_EQ(own.settings->interfaceName, "vyb-cli");
    EXPECT_EQ(own.settings->families, unsigned{kCensusAll});
    EXPECT_TRUE(own.settings->vlans.empty());
    EXPECT_FALSE(own.settings->clientMac);
    EXPECT_FALSE(own.settings->randomClientMac);
    EXPECT_FALSE(own.settings->promiscuous);
    FakeDiscoverBackEnd random;
    RunWith(random, {"--client-mac", "random", "-6", "--vlan", "7,5", "--promiscuous"});
    EXPECT_TRUE(random.settings->randomClientMac);
    EXPECT_EQ(random.settings->families, unsigned{kCensusDhcpv6 | kCensusRouters});
    EXPECT_EQ(random.settings->vlans, (std::vector<std::uint16_t>{5, 7}));
    EXPECT_TRUE(random.settings->promiscuous);
}

TEST(DiscoverOutput, ListsEachServerWithItsOwnOfferAndFlags)
{
    std::vector<DiscoveredServer> servers = {
        Server(kOne, 1, kServerConflict),
        Server(kOne, 66, kServerConflict | kServerUnexpected, kRogueMac), Server(kRogue, 254),
        WithoutId()};
    servers[1].offer.m_mapOptions.erase(51);
    servers[1].offer.m_mapOptions[6] = {10, 77, 0, 9, 10, 77}; // malformed: --all shows it
    // Flagged ones first, otherwise as heard.
    EXPECT_EQ(FormatServerTable(servers, false),
              "Server ID    From                           Offered      Lease           "
              "Subnet Mask    Routers      DNS Servers          Flags\n"
              "10.77.0.1    10.77.0.1 02:00:00:77:00:01    10.77.0.100  600 s (10 min)  "
              "255.255.255.0  10.77.0.1    10.77.0.1 10.77.0.2  conflict\n"
              "10.77.0.1    10.77.0.1 02:00:00:77:00:66    10.77.0.100                  "
              "255.255.255.0  10.77.0.66                        conflict,unexpected\n"
              "none         10.77.0.5 02:00:00:77:00:66    10.77.0.100  600 s (10 min)  "
              "255.255.255.0  10.77.0.5    10.77.0.1 10.77.0.2  no-server-id\n"
              "10.77.0.254  10.77.0.254 02:00:00:77:00:01  10.77.0.100  600 s (10 min)  "
              "255.255.255.0  10.77.0.254  10.77.0.1 10.77.0.2\n");
}

TEST(DiscoverOutput, AllShowsEveryOptionOfEachOffer)
{
    std::vector<DiscoveredServer> servers = {Server(kOne, 1)};
    servers[0].offer.m_mapOptions[224] = {0xDE, 0xAD};
    const std::string text = FormatServerTable(servers, true);
    const std::string offer = "\nOffer of 10.77.0.1 from 10.77.0.1 02:00:00:77:00:01\n";
    const std::size_t at = text.find(offer);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.substr(at + offer.size()), FormatAllRows(servers[0].offer));
}

TEST(CensusOutput, SummarisesEachFamilyThenShowsEachVlan)
{
    CensusResult result;
    AdvertisedRouter hostile = Router(2, kRouterUnexpected);
    hostile.searchLists[0].domains = {"lab\x1b[2J"};
    hostile.prefixes[0].onLink = false;
    hostile.mtu.reset();
    result.vlans = {Heard(10, {Server(kOne, 1)}, {Server6(1)}, {Router(1)}), Heard(20, {}),
                    Heard(30, {}, {}, {Router(1), hostile})};
    result.vlans[1].seen.frames = 4;
    result.vlans[1].counts.otherXid = 2;
    const std::vector<ApprovedEntry> approved = {*ParseApprovedEntry("fe80::1"),
                                                 *ParseApprovedEntry("10.77.0.1"),
                                                 *ParseApprovedEntry("duid:00030001020000770001")};
    FlagUnexpected(result, approved);
    const CensusVerdict verdict = JudgeCensus("vyb-cli", 5s, result, approved);
    EXPECT_EQ(FormatCensusText(result, verdict, false),
              "DHCPv4: 1 server on 1 of 3 VLANs\n"
              "DHCPv6: 1 server on 1 of 3 VLANs\n"
              "Routers: 3 routers on 2 of 3 VLANs; 1 finding\n"
              "\n"
              "VLAN 10\n"
              "Server ID  From                         Offered      Lease           Subnet Mask    "
              "Routers    DNS Servers          Flags\n"
              "10.77.0.1  10.77.0.1 02:00:00:77:00:01  10.77.0.100  600 s (10 min)  255.255.255.0  "
              "10.77.0.1  10.77.0.1 10.77.0.2\n"
              "\n"
              "DHCPv6 server  LL, hardware 1, 02:00:00:77:00:01\n"
              "  From         fe80::1 02:00:00:77:00:01\n"
              "  Preference   255\n"
              "  Addresses    2001:db8::10\n"
              "  Prefixes     2001:db8:1::/56\n"
              "  DNS Servers  2001:db8::53\n"
              "  Domains      lab.example\n"
              "\n"
              "Router         fe80::1 02:00:00:77:00:01\n"
              "  Lifetime     1800 s\n"
              "  Preference   medium\n"
              "  Managed (M)  yes\n"
              "  Other (O)    no\n"
              "  Prefix       2001:db8:2::/64 on-link,autonomous valid 86400 s preferred 14400 s\n"
              "  MTU          1500\n"
              "  RDNSS        2001:db8::53 (600 s)\n"
              "  DNSSL        lab.example (infinite)\n"
              "\n"
              "VLAN 20: nothing answered: 2 packets to other transactions\n"
              "\n"
              "VLAN 30\n"
              "Router         fe80::2 02:00:00:77:00:01\n"
              "  Lifetime     1800 s\n"
              "  Preference   medium\n"
              "  Managed (M)  yes\n"
              "  Other (O)    no\n"
              "  Prefix       2001:db8:2::/64 autonomous valid 86400 s preferred 14400 s\n"
              "  RDNSS        2001:db8::53 (600 s)\n"
              "  DNSSL        lab\\x1B[2J (infinite)\n"
              "  Flags        unexpected\n"
              "\n"
              "Router         fe80::1 02:00:00:77:00:01\n"
              "  Lifetime     1800 s\n"
              "  Preference   medium\n"
              "  Managed (M)  yes\n"
              "  Other (O)    no\n"
              "  Prefix       2001:db8:2::/64 on-link,autonomous valid 86400 s preferred 14400 s\n"
              "  MTU          1500\n"
              "  RDNSS        2001:db8::53 (600 s)\n"
              "  DNSSL        lab.example (infinite)\n");
    EXPECT_EQ(verdict.status, kExitOtherServers);

    // Untagged: no VLAN headings, nor VLANs in the summary.
    CensusResult quiet;
    quiet.families = kCensusDhcpv4;
    quiet.vlans = {Heard(std::nullopt, {})};
    EXPECT_EQ(FormatCensusText(quiet, JudgeCensus("vyb-cli", 5s, quiet, {}), false),
              "DHCPv4: no server\n\nNothing answered: no packets at all\n");
}

TEST(CensusOutput, AllShowsEveryOptionOfEachAdvertise)
{
    CensusResult result;
    result.families = kCensusDhcpv6;
    result.vlans = {Heard(std::nullopt, {}, {Server6(1)})};
    result.vlans[0].servers6[0].options.push_back({65000, {0xDE, 0xAD}});
    const std::string text = FormatCensusText(result, JudgeCensus("e", 5s, result, {}), true);
    const std::string advertise = "\nAdvertise of duid:00030001020000770001\n";
    const std::size_t at = text.find(advertise);
    ASSERT_NE(at, std::string::npos) << text;
    // One row per option in the message's order, the unknown one as hex.
    EXPECT_NE(text.find("1      Client Identifier", at), std::string::npos) << text;
    EXPECT_NE(text.find("65000  Option 65000", at), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), '\n'),
              2 + 1 + 7);
}

TEST(CensusOutput, SaysWhyAVlanWasSilent)
{
    const struct
    {
        const char* name;
        void (*prepare)(CensusResult&, VlanCensus&);
        const char* reason;
    } cases[] = {
        {"no carrier", [](CensusResult& r, VlanCensus&) { r.carrier = false; }, "no carrier"},
        {"nothing", [](CensusResult&, VlanCensus&) {}, "no packets at all"},
        {"others' transactions",
         [](CensusResult&, VlanCensus& v)
         {
             v.seen.frames = 3;
             v.counts.otherClient = 1;
             v.counts6.otherTransaction = 1;
             v.counts6.otherClient = 1;
         },
         "3 packets to other transactions"},
        {"a NAK and ICMP errors",
         [](CensusResult&, VlanCensus& v)
         {
             v.seen.frames = 3;
             v.counts.naks = 1;
             v.seen.icmpErrors = 2;
         },
         "1 NAK, 2 ICMP errors"},
        {"answers tagged otherwise",
         [](CensusResult&, VlanCensus& v)
         {
             v.seen.frames = 1;
             v.seen.otherVlanAnswers = 1;
         },
         "1 answer tagged with another VLAN"},
        {"malformed",
         [](CensusResult&, VlanCensus& v)
         {
             v.seen.frames = 2;
             v.routerCounts.malformed = 2;
         },
         "2 malformed packets"},
        {"other packets", [](CensusResult&, VlanCensus& v) { v.seen.frames = 1; },
         "1 packet, none an answer"},
    };
    for (const auto& test : cases)
    {
        CensusResult result;
        VlanCensus vlan = Heard(10, {});
        test.prepare(result, vlan);
        EXPECT_EQ(SilenceReason(result, vlan), test.reason) << test.name;
    }
}

TEST(CensusOutput, CountsEveryFamilyOverAllVlans)
{
    CensusResult result;
    result.vlans = {Heard(10, {Server(kOne, 1)}, {Server6(1)}), Heard(20, {}, {}, {Router(1)})};
    result.vlans[1].counts.naks = 1;
    result.vlans[0].counts6.otherTransaction = 2;
    result.vlans[1].routerCounts.malformed = 3;
    result.unplannedFrames = 4;
    EXPECT_EQ(CensusCountsText(result),
              "1 server from 1 offer (0 without server id); fragments: 0, other xid: 0, other "
              "chaddr: 0, NAKs: 1, malformed: 0, ignored: 0, dropped past the bounds: 0\n"
              "DHCPv6: 1 server from 1 Advertise; other transaction: 2, other client: 0, without "
              "server DUID: 0, malformed: 0, ignored: 0, dropped past the bounds: 0\n"
              "Routers: 1 router from 1 advertisement; malformed: 3, ignored: 0, dropped past the "
              "bounds: 0\n"
              "Census: 4 frames on VLANs not asked, 0 answers dropped past the bounds\n");
}

TEST(DiscoverOutput, JsonKeepsTheDhcpv4MembersAndAddsTheCensus)
{
    CensusResult result;
    result.vlans = {Heard(std::nullopt, {Server(kOne, 1), WithoutId()}, {Server6(1)})};
    VlanCensus& vlan = result.vlans[0];
    vlan.probe.transactionId = 0x12345678;
    vlan.probe.transactionId6 = 0xABCDEF;
    vlan.probe.clientDuid = {0, 3, 0, 1, 2, 0, 0, 0x77, 0, 2};
    vlan.servers[1].offer.m_mapOptions.erase(51);
    vlan.servers[1].offer.m_mapOptions.erase(1);
    vlan.counts = {9, 2, 3, 1, 4, 5, 6, 7, 8, 10};
    vlan.firstOffer = std::chrono::microseconds(3012500);
    const CensusVerdict verdict = JudgeCensus("vyb-cli", 1500ms, result, {});
    const std::string json = FormatCensusJson("vyb-cli", 1500ms, result, verdict, false);
    // Today's members first, one a line, one server a line, in the documented order.
    const std::string dhcpv4 =
        "{\n"
        "  \"interface\": \"vyb-cli\",\n"
        "  \"client_mac\": \"02:00:00:77:00:02\",\n"
        "  \"transaction_id\": 305419896,\n"
        "  \"wait_ms\": 1500,\n"
        "  \"servers\": [\n"
        "    {\"server_id\": \"10.77.0.1\", \"paths\": [{\"address\": \"10.77.0.1\", "
        "\"mac\": \"02:00:00:77:00:01\"}], \"offers\": 1, \"offered_address\": "
        "\"10.77.0.100\", \"lease_time\": 600, \"subnet_mask\": \"255.255.255.0\", "
        "\"routers\": [\"10.77.0.1\"], \"dns_servers\": [\"10.77.0.1\", \"10.77.0.2\"], "
        "\"flags\": []},\n"
        "    {\"server_id\": null, \"paths\": [{\"address\": \"10.77.0.5\", \"mac\": "
        "\"02:00:00:77:00:66\"}], \"offers\": 1, \"offered_address\": \"10.77.0.100\", "
        "\"lease_time\": null, \"subnet_mask\": null, \"routers\": [\"10.77.0.5\"], "
        "\"dns_servers\": [\"10.77.0.1\", \"10.77.0.2\"], \"flags\": [\"no-server-id\"]}\n"
        "  ],\n"
        "  \"ignored\": 7,\n"
        "  \"malformed\": 8,\n"
        "  \"dropped\": 10,\n"
        "  \"packets\": 9,\n"
        "  \"offers\": 2,\n"
        "  \"fragments\": 3,\n"
        "  \"no_server_id\": 1,\n"
        "  \"other_xid\": 4,\n"
        "  \"other_chaddr\": 5,\n"
        "  \"naks\": 6,\n"
        "  \"first_offer_ms\": 3012.5,\n"
        "  \"families\": [\n"
        "    \"dhcpv4\",\n"
        "    \"dhcpv6\",\n"
        "    \"routers\"\n"
        "  ],\n"
        "  \"vlans\": [\n";
    EXPECT_EQ(json.substr(0, dhcpv4.size()), dhcpv4);
    const nlohmann::json document = nlohmann::json::parse(json);
    const nlohmann::json& only = document["vlans"].at(0);
    EXPECT_TRUE(only["vlan"].is_null());
    EXPECT_EQ(only["dhcpv4"]["servers"], document["servers"]);
    EXPECT_EQ(only["dhcpv4"]["transaction_id"], 305419896);
    EXPECT_EQ(only["dhcpv6"]["transaction_id"], 0xABCDEF);
    EXPECT_EQ(only["dhcpv6"]["client_duid"], "00030001020000770002");
    const nlohmann::json& server6 = only["dhcpv6"]["servers"].at(0);
    EXPECT_EQ(server6["duid"], "00030001020000770001");
    EXPECT_EQ(server6["duid_value"]["link_layer_address"], "02:00:00:77:00:01");
    EXPECT_EQ(server6["addresses"], nlohmann::json::array({"2001:db8::10"}));
    EXPECT_EQ(server6["prefixes"], nlohmann::json::array({"2001:db8:1::/56"}));
    EXPECT_EQ(server6["domains"], nlohmann::json::array({"lab.example"}));
    EXPECT_FALSE(server6.contains("options"));
    EXPECT_TRUE(only["routers"]["routers"].empty());
    EXPECT_TRUE(only["silent"].is_null());
    EXPECT_EQ(document["findings"],
              nlohmann::json::array({"veyra: an offer without server id, against RFC 2131 on "
                                     "vyb-cli, from 10.77.0.5 02:00:00:77:00:66",
                                     "veyra: 2 DHCP servers answered on vyb-cli: 10.77.0.1, no "
                                     "id from 10.77.0.5"}));
    EXPECT_EQ(document["status"], kExitOtherServers);

    const nlohmann::json all =
        nlohmann::json::parse(FormatCensusJson("vyb-cli", 1500ms, result, verdict, true));
    const nlohmann::json& options = all["servers"][0]["options"];
    EXPECT_EQ(options, nlohmann::json::parse(AllOptionsJson(vlan.servers[0].offer).dump()));
    EXPECT_EQ(all["vlans"][0]["dhcpv6"]["servers"][0]["options"].size(),
              vlan.servers6[0].options.size());
}

TEST(DiscoverOutput, JsonOfVlansLeavesTheUntaggedMembersEmpty)
{
    CensusResult result;
    result.families = kCensusDhcpv4 | kCensusRouters;
    result.vlans = {Heard(10, {Server(kOne, 1)}), Heard(20, {})};
    const CensusVerdict verdict = JudgeCensus("vyb-cli", 5s, result, {});
    const nlohmann::json document =
        nlohmann::json::parse(FormatCensusJson("vyb-cli", 5s, result, verdict, false));
    EXPECT_TRUE(document["client_mac"].is_null());
    EXPECT_TRUE(document["transaction_id"].is_null());
    EXPECT_TRUE(document["servers"].empty());
    EXPECT_EQ(document["families"], nlohmann::json::array({"dhcpv4", "routers"}));
    ASSERT_EQ(document["vlans"].size(), 2u);
    EXPECT_EQ(document["vlans"][0]["vlan"], 10);
    EXPECT_EQ(document["vlans"][0]["dhcpv4"]["servers"].size(), 1u);
    EXPECT_TRUE(document["vlans"][0]["dhcpv6"].is_null());
    EXPECT_EQ(document["vlans"][1]["silent"], "no packets at all");
    EXPECT_EQ(document["silences"].size(), 1u);
    EXPECT_EQ(document["status"], kExitNoServer);
}

TEST(DiscoverOutput, JsonReplacesBytesThatAreNotUtf8)
{
    CensusResult result;
    result.vlans = {Heard(std::nullopt, {})};
    const std::string json = FormatCensusJson("vye-e\xffx\x1b", 1000ms, result,
                                              JudgeCensus("vye-e", 1000ms, result, {}), false);
    EXPECT_EQ(nlohmann::json::parse(json)["interface"], "vye-e\xEF\xBF\xBDx\x1b");
    EXPECT_EQ(json.find('\x1b'), std::string::npos);
    EXPECT_NE(json.find("\n  \"servers\": [],\n"), std::string::npos) << json;
}
} // namespace
