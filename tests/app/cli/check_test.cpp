#include "app/cli/check_output.h"
#include "app/cli/command_line.h"
#include "app/cli/lease_check.h"
#include "app/cli/plugin_output.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/dhcpv6_option_text.h"

#include "testing/fake_discover_back_end.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace
{
using namespace std::chrono_literals;
using Vlan = std::optional<std::uint16_t>;

TEST(PluginOutput, QuotesLabelsAndKeepsPeerTextOutOfThePerformanceData)
{
    const struct
    {
        PerfDatum datum;
        const char* text;
    } cases[] = {
        {{"dhcpv4_offer_ms", 12.3456, "ms", "500", "1000", 0.0, 5000.0},
         "dhcpv4_offer_ms=12.346ms;500;1000;0;5000"},
        {{"routers", 2.0, "", "", "", 0.0, {}}, "routers=2;;;0"},
        {{"router_ms", {}, "ms", "", "", {}, {}}, "router_ms=U"},
        {{"hours left", -1.5, "", "24:", "4:", {}, {}}, "'hours left'=-1.5;24:;4:"},
        {{"it's=\x1b|", 1.0, "", "", "", {}, {}}, "'it''s\\x3D\\x1B|'=1"},
        {{"", 0.0, "", "1;2", "", {}, {}}, "''=0;12"},
    };
    for (const auto& test : cases)
    {
        PluginOutput output;
        output.service = "DHCP";
        output.status = kCheckOk;
        output.summary = "s";
        output.perfData = {test.datum};
        EXPECT_EQ(FormatPluginOutput(output), std::string("DHCP OK - s | ") + test.text + "\n");
    }
    PluginOutput output;
    output.service = "DHCP";
    output.status = kCheckCritical;
    output.summary = "rogue | \x1b[2J";
    output.details = {"a|b", "c\nd"};
    EXPECT_EQ(FormatPluginOutput(output),
              "DHCP CRITICAL - rogue \\x7C \\x1B[2J\na\\x7Cb\nc\\x0Ad\n");
    EXPECT_EQ(WorseStatus(kCheckUnknown, kCheckWarning), kCheckWarning);
    EXPECT_EQ(WorseStatus(kCheckCritical, kCheckUnknown), kCheckCritical);
    EXPECT_EQ(WorseStatus(kCheckOk, kCheckUnknown), kCheckUnknown);
}

constexpr HardwareAddress kMac = {0x02, 0, 0, 0x77, 0, 0x01};
const std::vector<std::uint8_t> kDuid = {0, 3, 0, 1, 2, 0, 0, 0x77, 0, 1};

DiscoveredServer Server(std::uint8_t last)
{
    DiscoveredServer server;
    server.serverId = 0x0A4D0000u | last;
    server.path = {*server.serverId, kMac};
    return server;
}

// One VLAN's DHCPv4 servers, the first offer after first; with ipv6 also a
// DHCPv6 server and a router, each first heard after 2 ms.
VlanCensus Heard(Vlan id, std::vector<DiscoveredServer> servers,
                 std::chrono::microseconds first = 1500us, bool ipv6 = false)
{
    VlanCensus vlan;
    vlan.probe.vlan = id;
    if (!servers.empty())
        vlan.firstOffer = first;
    vlan.servers = std::move(servers);
    if (ipv6)
    {
        vlan.servers6.emplace_back().duid = kDuid;
        vlan.routers.emplace_back().mac = kMac;
        vlan.firstAdvertise = vlan.firstRouter = 2ms;
    }
    return vlan;
}

// Runs "veyra ARGUMENTS" (words split at spaces) against the back end.
DiscoverOutcome RunCheck(const std::string& arguments, FakeDiscoverBackEnd& backEnd)
{
    std::vector<std::string> words;
    for (std::size_t at = 0; at < arguments.size();)
    {
        const std::size_t end = std::min(arguments.find(' ', at), arguments.size());
        words.push_back(arguments.substr(at, end - at));
        at = end + 1;
    }
    const CommandLine line = ParseCommandLine(words);
    EXPECT_TRUE(line.m_strError.empty()) << line.m_strError;
    if (line.checkLease)
        return RunLeaseCheck(line.leaseCheck, backEnd.Seam());
    return RunDiscover(line.census, backEnd.Seam(), [](const std::string&) {});
}

TEST(CensusCheck, StatusIsTheWorstOfFindingsSilenceAndTheFirstReplysTime)
{
    const struct
    {
        std::vector<VlanCensus> vlans;
        const char* arguments;
        int status;
        std::string out;
    } cases[] = {
        {{Heard({}, {Server(1)}, 1500us, true)},
         "",
         kCheckOk,
         "DHCP OK - 1 DHCPv4 server, 1 DHCPv6 server, 1 router on vyh-u | dhcpv4_servers=1;;;0 "
         "dhcpv4_offer_ms=1.5ms;;;0;5000 dhcpv6_servers=1;;;0 dhcpv6_advertise_ms=2ms;;;0;5000 "
         "routers=1;;;0 router_ms=2ms;;;0;5000\n"},
        {{Heard({}, {Server(1)}, 700ms)},
         " -4 -w 500 -c 1000",
         kCheckWarning,
         "DHCP WARNING - first DHCPv4 offer on vyh-u after 700 ms (-w 500 ms) | "
         "dhcpv4_servers=1;;;0 dhcpv4_offer_ms=700ms;500;1000;0;5000\n"},
        // Slower than -c on one VLAN, exactly -w on the other.
        {{Heard(10, {Server(1)}, 1000001us), Heard(20, {Server(2)}, 500ms)},
         " -4 --vlan 10,20 -w 500 -c 1000",
         kCheckCritical,
         "DHCP CRITICAL - first DHCPv4 offer on vyh-u VLAN 10 after 1000.001 ms (-c 1000 ms) | "
         "dhcpv4_servers_vlan10=1;;;0 dhcpv4_offer_ms_vlan10=1000.001ms;500;1000;0;5000 "
         "dhcpv4_servers_vlan20=1;;;0 dhcpv4_offer_ms_vlan20=500ms;500;1000;0;5000\n"},
        // A rogue first, then silence, then slowness.
        {{Heard(10, {Server(1), Server(9)}, 900ms), Heard(30, {})},
         " -4 --vlan 10,30 --expect 10.77.0.1 -w 500",
         kCheckCritical,
         "DHCP CRITICAL - unexpected DHCP server on vyh-u VLAN 10: 10.77.0.9 (expected only "
         "10.77.0.1); 2 more | dhcpv4_servers_vlan10=2;;;0 "
         "dhcpv4_offer_ms_vlan10=900ms;500;;0;5000 dhcpv4_servers_vlan30=0;;;0 "
         "dhcpv4_offer_ms_vlan30=U;500;;0;5000\n"
         "unexpected DHCP server on vyh-u VLAN 10: 10.77.0.9 (expected only 10.77.0.1)\n"
         "no DHCP server answered on vyh-u VLAN 30 within 5 s\n"
         "first DHCPv4 offer on vyh-u VLAN 10 after 900 ms (-w 500 ms)\n"},
        {{Heard({}, {})},
         " --wait 2",
         kCheckCritical,
         "DHCP CRITICAL - no DHCP server, DHCPv6 server or router answered on vyh-u within 2 s | "
         "dhcpv4_servers=0;;;0 dhcpv4_offer_ms=U;;;0;2000 dhcpv6_servers=0;;;0 "
         "dhcpv6_advertise_ms=U;;;0;2000 routers=0;;;0 router_ms=U;;;0;2000\n"},
    };
    for (const auto& test : cases)
    {
        FakeDiscoverBackEnd backEnd;
        backEnd.vlans = test.vlans;
        const DiscoverOutcome outcome =
            RunCheck("--check vyh-u" + std::string(test.arguments), backEnd);
        EXPECT_EQ(outcome.status, test.status) << test.arguments;
        EXPECT_EQ(outcome.out, test.out) << test.arguments;
        EXPECT_EQ(outcome.err, "") << test.arguments;
    }
}

TEST(CensusCheck, ACensusThatCannotRunOrWrongArgumentsAreUnknown)
{
    const std::pair<int, const char*> failures[] = {
        {EPERM, "--check needs root or CAP_NET_RAW: run it as root, or give the program "
                "cap_net_raw+ep\n"},
        {ENODEV, "no network adapter is named vyh-u or has that hardware address\n"},
    };
    for (const auto& [error, out] : failures)
    {
        FakeDiscoverBackEnd backEnd;
        backEnd.error = error;
        const DiscoverOutcome outcome = RunCheck("--check vyh-u", backEnd);
        EXPECT_EQ(outcome.status, kCheckUnknown);
        EXPECT_EQ(outcome.out, "DHCP UNKNOWN - " + std::string(out));
    }
    // The mode is known however the arguments fail, so that main answers UNKNOWN.
    const std::vector<std::string> wrong[] = {
        {"-w", "x", "--check", "vyh-u"},
        {"--check", "vyh-u", "--bogus"},
        {"--check", "vyh-u", "--json"},
        {"--discover", "vyh-u", "--check", "-c"},
        {"--check-lease"},
        {"--check-lease", "vyh-u", "-w", "0"},
        {"-c", "9", "--check-lease", "e", "-w", "2"},
        {"--check-lease", "vyh-u", "--vlan", "3"},
    };
    for (const std::vector<std::string>& arguments : wrong)
    {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_FALSE(line.m_strError.empty()) << arguments.back();
        EXPECT_TRUE(line.census.check || line.checkLease) << arguments.back();
    }
    EXPECT_EQ(CheckUsageFailure("DHCP LEASE", "-w takes").out, "DHCP LEASE UNKNOWN - -w takes\n");
}

// A DHCPv4 lease from 10.77.0.1 that expires at the time given, and a
// DHCPv6 lease from kDuid obtained 1 h 2 min ago whose prefix is valid for
// 2 h (its address for ever).
InterfaceLeases Leases(std::optional<std::int64_t> expires, int error6 = 0)
{
    InterfaceLeases leases;
    leases.error = 0;
    leases.lease.m_mapOptions = {{54, {10, 77, 0, 1}}};
    leases.lease.m_tExpires = expires;
    leases.error6 = error6;
    leases.lease6.obtained = 996400;
    leases.lease6.options = {
        {2, kDuid},
        IdentityAssociation(3, {0, 0, 0, 1}, 0, 0, {IaAddress({0x20, 0x01}, 3600, 0xFFFFFFFF)}),
        IdentityAssociation(25, {0, 0, 0, 1}, 0, 0, {IaPrefix({0x20, 0x01}, 56, 3600, 7200)})};
    return leases;
}

TEST(LeaseCheck, TimeLeftAndTheServersAnswerDecide)
{
    InterfaceLeases none;
    none.error = none.error6 = ENODATA;
    InterfaceLeases unreadable = none;
    unreadable.error = EACCES;
    const std::string answers = "DHCPv4 lease on vyh-l: 10 h left, server 10.77.0.1 answers\n";
    const struct
    {
        InterfaceLeases leases;
        std::vector<VlanCensus> vlans;
        const char* arguments;
        int status;
        std::string out;
    } cases[] = {
        {Leases(1036000),
         {Heard({}, {Server(1)}, 1ms, true)},
         " -w 1",
         kCheckOk,
         "DHCP LEASE OK - DHCPv4 lease on vyh-l: 10 h left, server 10.77.0.1 answers; DHCPv6 "
         "lease on vyh-l: 1 h left, server duid:00030001020000770001 answers | "
         "dhcpv4_lease_hours=10;1: dhcpv4_servers=1;;;0 dhcpv6_lease_hours=1;1: "
         "dhcpv6_servers=1;;;0\n"},
        {Leases(1036000),
         {Heard({}, {Server(1)})},
         " -4 -w 12 -c 3",
         kCheckWarning,
         "DHCP LEASE WARNING - the DHCPv4 lease on vyh-l ends in 10 h (-w 12 h) | "
         "dhcpv4_lease_hours=10;12:;3: dhcpv4_servers=1;;;0\n" +
             answers},
        // Its server gone, another answering.
        {Leases(1036000),
         {Heard({}, {Server(9)})},
         " -4",
         kCheckCritical,
         "DHCP LEASE CRITICAL - DHCPv4 server 10.77.0.1 of the lease on vyh-l did not answer "
         "within 5 s | dhcpv4_lease_hours=10 dhcpv4_servers=1;;;0\nDHCPv4 lease on vyh-l: 10 h "
         "left\n"},
        {Leases(995500),
         {Heard({}, {Server(1)})},
         " -4",
         kCheckCritical,
         "DHCP LEASE CRITICAL - the DHCPv4 lease on vyh-l expired 1.3 h ago | "
         "dhcpv4_lease_hours=-1.25 dhcpv4_servers=1;;;0\nDHCPv4 lease on vyh-l: -1.3 h left, "
         "server 10.77.0.1 answers\n"},
        {Leases({}),
         {Heard({}, {Server(1)})},
         " -4 -c 1",
         kCheckUnknown,
         "DHCP LEASE UNKNOWN - the end of the DHCPv4 lease on vyh-l is not known | "
         "dhcpv4_lease_hours=U;;1: dhcpv4_servers=1;;;0\nDHCPv4 lease on vyh-l: its end not known, "
         "server 10.77.0.1 answers\n"},
        {none, {}, "", kCheckCritical, "DHCP LEASE CRITICAL - no DHCP lease on vyh-l\n"},
        {none, {}, " -6", kCheckCritical, "DHCP LEASE CRITICAL - no DHCPv6 lease on vyh-l\n"},
        {unreadable,
         {},
         "",
         kCheckUnknown,
         "DHCP LEASE UNKNOWN - cannot read the DHCPv4 lease on vyh-l: Permission denied "
         "(EACCES)\n"},
        {Leases(1036000, EACCES),
         {Heard({}, {Server(1)})},
         "",
         kCheckUnknown,
         "DHCP LEASE UNKNOWN - cannot read the DHCPv6 lease on vyh-l: Permission denied (EACCES) | "
         "dhcpv4_lease_hours=10 dhcpv4_servers=1;;;0\n" +
             answers},
    };
    for (const auto& test : cases)
    {
        FakeDiscoverBackEnd backEnd;
        backEnd.leases = test.leases;
        backEnd.vlans = test.vlans;
        const DiscoverOutcome outcome =
            RunCheck("--check-lease vyh-l" + std::string(test.arguments), backEnd);
        EXPECT_EQ(outcome.status, test.status) << test.out;
        EXPECT_EQ(outcome.out, test.out);
    }
}

// The census gives up its privileges once its socket is open: the leases
// are read after it, never with CAP_NET_RAW held.
TEST(LeaseCheck, ReadsTheLeasesAfterTheCensusAndTellsItsFailure)
{
    FakeDiscoverBackEnd backEnd;
    backEnd.leases = Leases(1036000, ENODATA);
    backEnd.error = EPERM;
    const DiscoverOutcome outcome = RunCheck("--check-lease vyh-l --wait 0.5", backEnd);
    ASSERT_TRUE(backEnd.settings);
    EXPECT_EQ(backEnd.calls, "census leases ");
    EXPECT_EQ(backEnd.settings->families, unsigned{kCensusDhcpv4 | kCensusDhcpv6});
    EXPECT_EQ(backEnd.settings->wait, 500ms);
    EXPECT_EQ(outcome.status, kCheckUnknown);
    EXPECT_EQ(outcome.out.substr(0, outcome.out.find(" |")),
              "DHCP LEASE UNKNOWN - --check-lease needs root or CAP_NET_RAW: run it as root, or "
              "give the program cap_net_raw+ep");
}

TEST(Dhcpv6Message, ShortestValidLifetimeIsTheFirstLeasedThingToEnd)
{
    const Ipv6Address address{0x20, 0x01};
    const Dhcpv6Options cut = {
        {3, {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 4, 1, 2, 3, 4}},
        {25, {0, 0, 0, 1}},
        IdentityAssociation(25, {0, 0, 0, 1}, 0, 0, {IaAddress(address, 1, 30)})};
    const struct
    {
        Dhcpv6Options options;
        std::optional<std::uint32_t> valid;
    } cases[] = {
        {{}, {}},
        {{IdentityAssociation(3, {0, 0, 0, 1}, 0, 0, {IaAddress(address, 1, 0xFFFFFFFF)})}, {}},
        {{IdentityAssociation(3, {0, 0, 0, 1}, 0, 0,
                              {IaAddress(address, 1, 900), IaAddress(address, 1, 800)}),
          IdentityAssociation(25, {0, 0, 0, 2}, 0, 0, {IaPrefix(address, 56, 1, 700)})},
         700},
        {{IdentityAssociation(4, {0, 0, 0, 1}, 0, 0, {IaAddress(address, 1, 60)})}, 60},
        // A cut IAADDR, an IA_PD too short for its header, an IAADDR in an IA_PD.
        {cut, {}},
    };
    for (const auto& test : cases)
        EXPECT_EQ(ShortestValidLifetime(test.options), test.valid);
}
} // namespace
