#include "app/cli/all_options_output.h"
#include "app/cli/command_line.h"
#include "app/cli/discover_command.h"
#include "app/cli/discover_output.h"
#include "app/cli/exit_status.h"

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
    const CommandLine line = ParseCommandLine(
        {"--discover", "eth0", "--wait", "0.25", "--expect", "10.77.0.1", "--client-mac",
         "02:AA:bb:cc:dd:ee", "--expect", "10.77.0.2@02:00:00:77:00:01", "--all", "--json",
         "--expect-file", "a", "--expect-file", "b"});
    ASSERT_TRUE(line.m_strError.empty()) << line.m_strError;
    ASSERT_TRUE(line.m_bDiscover);
    const DiscoverCommand& command = line.m_discover;
    EXPECT_EQ(command.m_strInterface, "eth0");
    EXPECT_EQ(command.m_wait, 250ms);
    ASSERT_EQ(command.m_approved.size(), 2u);
    EXPECT_EQ(command.m_approved[0].m_nServerId, 0x0A4D0001u);
    EXPECT_FALSE(command.m_approved[0].m_Mac);
    EXPECT_EQ(command.m_approved[1].m_nServerId, 0x0A4D0002u);
    EXPECT_EQ(command.m_approved[1].m_Mac, (HardwareAddress{0x02, 0, 0, 0x77, 0, 0x01}));
    EXPECT_EQ(command.m_expectFiles, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(command.m_ClientMac, (HardwareAddress{0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
    EXPECT_TRUE(command.m_bAll);
    EXPECT_TRUE(command.m_bJson);

    const CommandLine plain = ParseCommandLine({"--discover", "eth0"});
    EXPECT_EQ(plain.m_discover.m_wait, 5000ms);
    EXPECT_FALSE(plain.m_discover.m_ClientMac);
    EXPECT_TRUE(ParseCommandLine({"--discover", "e", "--client-mac", "random"})
                    .m_discover.m_bRandomClientMac);
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
        {"--discover", "eth0", "--expect-file"},
        {"--discover", "eth0", "--expect-file", ""},
    };
    for (const std::vector<std::string>& arguments : cases)
    {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_TRUE(line.m_bDiscover);
        EXPECT_FALSE(line.m_strError.empty()) << arguments.back();
    }
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
        EXPECT_EQ(line.m_discover.m_wait, test.wait) << test.pszWait;
        EXPECT_EQ(WaitText(test.wait), test.pszText);
    }
}

constexpr HardwareAddress kServerMac = {0x02, 0, 0, 0x77, 0, 0x01};
constexpr HardwareAddress kRogueMac = {0x02, 0, 0, 0x77, 0, 0x66};
constexpr std::uint32_t kOne = 0x0A4D0001;
constexpr std::uint32_t kRogue = 0x0A4D00FE;

DiscoveredServer Server(std::uint32_t nId, std::uint8_t nRouter, unsigned nFlags = 0,
                        const HardwareAddress& mac = kServerMac)
{
    DiscoveredServer server;
    server.serverId = nId;
    server.path = {nId, mac};
    server.offers = 1;
    server.flags = nFlags;
    server.offer.m_nYourAddress = 0x0A4D0064;
    server.offer.m_mapOptions = {{1, {255, 255, 255, 0}},
                                 {3, {10, 77, 0, nRouter}},
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

// The back end stands in for the packet socket: it hands back the servers
// given, or fails with the errno value given, records the settings, and
// reports progress at the moments given.
struct FakeBackEnd
{
    std::vector<DiscoveredServer> m_servers;
    int m_nError = 0;
    bool m_bTerminal = false;
    std::vector<std::chrono::milliseconds> m_progress;
    DiscoverySettings m_settings;

    DiscoverBackEnd Seam()
    {
        return {[this](const DiscoverySettings& settings, DiscoveryResult& result)
                {
                    m_settings = settings;
                    const ServerDiscovery discovery(1, {});
                    for (const std::chrono::milliseconds left : m_progress)
                        settings.m_fnProgress(discovery, left);
                    result.m_servers = m_servers;
                    result.m_ClientMac = {0x02, 0, 0, 0x77, 0, 0x02};
                    result.m_counts.ignored = 3;
                    result.m_counts.offers = m_servers.size();
                    return m_nError;
                },
                [](HardwareAddress& address)
                {
                    address = {0x06, 1, 2, 3, 4, 5};
                    return 0;
                },
                [this] { return m_bTerminal; }};
    }
};

DiscoverOutcome RunWith(FakeBackEnd& backEnd, const std::vector<std::string>& extra,
                        std::string& strProgress)
{
    std::vector<std::string> arguments = {"--discover", "vyb-cli"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const CommandLine line = ParseCommandLine(arguments);
    EXPECT_TRUE(line.m_strError.empty()) << line.m_strError;
    return RunDiscover(line.m_discover, backEnd.Seam(),
                       [&strProgress](const std::string& str) { strProgress += str; });
}

DiscoverOutcome RunWith(FakeBackEnd& backEnd, const std::vector<std::string>& extra = {})
{
    std::string strProgress;
    DiscoverOutcome outcome = RunWith(backEnd, extra, strProgress);
    if (outcome.m_nStatus != kExitUsage)
    {
        EXPECT_EQ(strProgress, "Discovering DHCP servers on vyb-cli for " +
                                   WaitText(backEnd.m_settings.m_wait) + "...\n");
    }
    return outcome;
}

std::string CountsLine(std::size_t nServers)
{
    return std::to_string(nServers) + (nServers == 1 ? " server from " : " servers from ") +
           std::to_string(nServers) + (nServers == 1 ? " offer" : " offers") +
           " (0 without server id); fragments: 0, other xid: 0, other chaddr: 0, NAKs: 0, "
           "malformed: 0, ignored: 3, dropped past the bounds: 0\n";
}

TEST(DiscoverCommand, ExitStatusSaysWhetherTheLinkIsAsItShouldBe)
{
    const struct
    {
        const char* pszName;
        std::vector<DiscoveredServer> m_servers;
        std::vector<std::string> m_extra;
        int m_nStatus;
        const char* pszMessage;
    } cases[] = {
        {"none",
         {},
         {"--wait", "0.2"},
         kExitNoServer,
         "veyra: no DHCP server answered on vyb-cli within 0.2 s\n"},
        {"one", {Server(kOne, 1)}, {}, kExitDone, ""},
        {"two",
         {Server(kOne, 1), Server(kRogue, 254)},
         {},
         kExitOtherServers,
         "veyra: 2 DHCP servers answered on vyb-cli: 10.77.0.1, 10.77.0.254\n"},
        {"the expected one", {Server(kOne, 1)}, {"--expect", "10.77.0.1"}, kExitDone, ""},
        {"the expected one by MAC",
         {Server(kOne, 1)},
         {"--expect", "10.77.0.1@02:00:00:77:00:01"},
         kExitDone,
         ""},
        {"two, both expected",
         {Server(kOne, 1), Server(kRogue, 254)},
         {"--expect", "10.77.0.254", "--expect", "10.77.0.1"},
         kExitDone,
         ""},
        {"another than expected",
         {Server(kRogue, 254)},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.254 (expected only 10.77.0.1)\n"},
        {"the expected id from another MAC",
         {Server(kOne, 1, 0, kRogueMac)},
         {"--expect", "10.77.0.1@02:00:00:77:00:01"},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.1 "
         "(expected only 10.77.0.1@02:00:00:77:00:01)\n"},
        {"the expected one and another",
         {Server(kOne, 1), Server(kRogue, 254)},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.254 (expected only 10.77.0.1)\n"},
        {"a rogue with the real id",
         {Server(kOne, 1, kServerConflict), Server(kOne, 66, kServerConflict, kRogueMac)},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: conflicting offers for server id 10.77.0.1 on vyb-cli (another source, or "
         "other routers, DNS servers or subnet mask): from 10.77.0.1 02:00:00:77:00:01, "
         "10.77.0.1 02:00:00:77:00:66\n"},
        {"a rogue with the real id and MAC, unexpected",
         {Server(kOne, 1, kServerConflict), Server(kOne, 66, kServerConflict, kRogueMac)},
         {"--expect", "10.77.0.1@02:00:00:77:00:01"},
         kExitOtherServers,
         "veyra: conflicting offers for server id 10.77.0.1 on vyb-cli (another source, or "
         "other routers, DNS servers or subnet mask): from 10.77.0.1 02:00:00:77:00:01, "
         "10.77.0.1 02:00:00:77:00:66\n"
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.1@02:00:00:77:00:66 "
         "(expected only 10.77.0.1@02:00:00:77:00:01)\n"},
        {"one without server id",
         {WithoutId()},
         {},
         kExitOtherServers,
         "veyra: an offer without server id, against RFC 2131 on vyb-cli, from 10.77.0.5 "
         "02:00:00:77:00:66\n"},
        {"one without server id and the expected one",
         {Server(kOne, 1), WithoutId()},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: an offer without server id, against RFC 2131 on vyb-cli, from 10.77.0.5 "
         "02:00:00:77:00:66\n"
         "veyra: unexpected DHCP server on vyb-cli: no id from 10.77.0.5 (expected only "
         "10.77.0.1)\n"},
        {"none expected",
         {},
         {"--expect", "10.77.0.1", "--wait", "1"},
         kExitNoServer,
         "veyra: no DHCP server answered on vyb-cli within 1 s\n"},
    };
    for (const auto& test : cases)
    {
        FakeBackEnd backEnd;
        backEnd.m_servers = test.m_servers;
        const DiscoverOutcome outcome = RunWith(backEnd, test.m_extra);
        EXPECT_EQ(outcome.m_nStatus, test.m_nStatus) << test.pszName;
        EXPECT_EQ(outcome.m_strErr, test.pszMessage + CountsLine(test.m_servers.size()))
            << test.pszName;
        EXPECT_EQ(outcome.m_strOut.empty(), test.m_servers.empty()) << test.pszName;
    }
}

TEST(DiscoverCommand, ReadsApprovedListsFromFiles)
{
    const CScratchDirectory scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const auto Write = [&scratch](const std::string& strName, const std::string& strText)
    {
        const std::string strPath = scratch.Path() + "/" + strName;
        std::ofstream(strPath) << strText;
        return strPath;
    };
    const std::string strGood =
        Write("good", "# the link's servers\n10.77.0.1@02:00:00:77:00:01\n\n10.77.0.254 # spare\n");
    const std::string strBad = Write("bad", "10.77.0.1\n# fine\n10.77.0.1@02:00\n");
    const std::string strLink = scratch.Path() + "/link";
    ASSERT_EQ(symlink(strGood.c_str(), strLink.c_str()), 0);

    const struct
    {
        std::vector<std::string> m_extra;
        int m_nStatus;
        std::string m_strErrStart;
    } cases[] = {
        {{"--expect-file", strGood}, kExitDone, CountsLine(2)},
        {{"--expect", "10.77.0.254", "--expect-file", Write("one", "10.77.0.1")},
         kExitDone,
         CountsLine(2)},
        {{"--expect-file", Write("only-one", "10.77.0.1\n")},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.254 (expected only 10.77.0.1)\n"},
        {{"--expect-file", strGood, "--expect-file", strBad},
         kExitUsage,
         "veyra: " + strBad + ":3: not a server identifier or ID@MAC\n"},
        {{"--expect-file", Write("long",
                                 []
                                 {
                                     std::string strText = "# many\n";
                                     for (std::size_t i = 0; i <= kMaxApprovedServers; ++i)
                                         strText += "10.77.0.1\n";
                                     return strText;
                                 }())},
         kExitUsage,
         "veyra: " + scratch.Path() + "/long:1026: more than 1024 entries\n"},
        {{"--expect-file", scratch.Path() + "/absent"},
         kExitUsage,
         "veyra: cannot read --expect-file " + scratch.Path() + "/absent: "},
        {{"--expect-file", strLink},
         kExitUsage,
         "veyra: cannot read --expect-file " + strLink + ": "},
    };
    for (const auto& test : cases)
    {
        FakeBackEnd backEnd;
        backEnd.m_servers = {Server(kOne, 1), Server(kRogue, 254)};
        std::string strProgress;
        const DiscoverOutcome outcome = RunWith(backEnd, test.m_extra, strProgress);
        EXPECT_EQ(outcome.m_nStatus, test.m_nStatus) << test.m_extra.back();
        EXPECT_EQ(outcome.m_strErr.substr(0, test.m_strErrStart.size()), test.m_strErrStart);
        // A bad list ends the run before anything is sent.
        EXPECT_EQ(backEnd.m_settings.m_strInterface.empty(), test.m_nStatus == kExitUsage);
    }
}

TEST(DiscoverCommand, ShowsProgressOnATerminalOnly)
{
    using namespace std::chrono_literals;
    FakeBackEnd terminal;
    terminal.m_bTerminal = true;
    terminal.m_servers = {Server(kOne, 1)};
    terminal.m_progress = {5000ms, 4950ms, 4901ms, 4899ms, 1ms, 0ms};
    std::string strProgress;
    const DiscoverOutcome outcome = RunWith(terminal, {}, strProgress);
    EXPECT_EQ(outcome.m_nStatus, kExitDone);
    const std::string strLine = "\rDiscovering DHCP servers on vyb-cli: ";
    EXPECT_EQ(strProgress, strLine + "5.0 s left, 0 offers so far\x1b[K" + // 4950 is the same tenth
                               strLine + "4.9 s left, 0 offers so far\x1b[K" + strLine +
                               "4.8 s left, 0 offers so far\x1b[K" + strLine +
                               "0.0 s left, 0 offers so far\x1b[K" + "\r\x1b[K");

    FakeBackEnd pipe;
    pipe.m_servers = {Server(kOne, 1)};
    RunWith(pipe);
    EXPECT_FALSE(pipe.m_settings.m_fnProgress);
}

TEST(DiscoverCommand, TellsWhyItCouldNotLook)
{
    const struct
    {
        int m_nError;
        int m_nStatus;
        const char* pszText;
    } cases[] = {
        {EPERM, kExitNoPermission, "needs root or CAP_NET_RAW"},
        {EACCES, kExitNoPermission, "needs root or CAP_NET_RAW"},
        {ENODEV, kExitNoAdapter, "No Interfaces Present"},
        {ENOENT, kExitFailed, "vyb-cli is not an Ethernet interface"},
        {ENETDOWN, kExitFailed, "discovery on vyb-cli failed: "},
    };
    for (const auto& test : cases)
    {
        FakeBackEnd backEnd;
        backEnd.m_nError = test.m_nError;
        const DiscoverOutcome outcome = RunWith(backEnd);
        EXPECT_EQ(outcome.m_nStatus, test.m_nStatus) << test.m_nError;
        EXPECT_NE(outcome.m_strErr.find(test.pszText), std::string::npos) << outcome.m_strErr;
        EXPECT_TRUE(outcome.m_strOut.empty());
    }
}

TEST(DiscoverCommand, HandsTheClientAddressToTheBackEnd)
{
    FakeBackEnd own;
    RunWith(own);
    EXPECT_EQ(own.m_settings.m_strInterface, "vyb-cli");
    EXPECT_FALSE(own.m_settings.m_ClientMac);
    FakeBackEnd random;
    RunWith(random, {"--client-mac", "random"});
    EXPECT_EQ(random.m_settings.m_ClientMac, (HardwareAddress{0x06, 1, 2, 3, 4, 5}));
}

TEST(DiscoverOutput, ListsEachServerWithItsOwnOfferAndFlags)
{
    DiscoveryResult result;
    result.m_servers = {Server(kOne, 1, kServerConflict),
                        Server(kOne, 66, kServerConflict | kServerUnexpected, kRogueMac),
                        WithoutId()};
    result.m_servers[1].offer.m_mapOptions.erase(51);
    result.m_servers[1].offer.m_mapOptions[6] = {10, 77, 0, 9, 10, 77}; // malformed: --all shows it
    EXPECT_EQ(FormatDiscoveryText(result, false),
              "Server ID  From                         Offered      Lease           "
              "Subnet Mask    Routers     DNS Servers          Flags\n"
              "10.77.0.1  10.77.0.1 02:00:00:77:00:01  10.77.0.100  600 s (10 min)  "
              "255.255.255.0  10.77.0.1   10.77.0.1 10.77.0.2  conflict\n"
              "10.77.0.1  10.77.0.1 02:00:00:77:00:66  10.77.0.100                  "
              "255.255.255.0  10.77.0.66                       conflict,unexpected\n"
              "none       10.77.0.5 02:00:00:77:00:66  10.77.0.100  600 s (10 min)  "
              "255.255.255.0  10.77.0.5   10.77.0.1 10.77.0.2  no-server-id\n");
}

TEST(DiscoverOutput, AllShowsEveryOptionOfEachOffer)
{
    DiscoveryResult result;
    result.m_servers = {Server(0x0A4D0001, 1)};
    result.m_servers[0].offer.m_mapOptions[224] = {0xDE, 0xAD};
    const std::string strText = FormatDiscoveryText(result, true);
    const std::string strOffer = "\nOffer of 10.77.0.1 from 10.77.0.1 02:00:00:77:00:01\n";
    const std::size_t nOffer = strText.find(strOffer);
    ASSERT_NE(nOffer, std::string::npos) << strText;
    EXPECT_EQ(strText.substr(nOffer + strOffer.size()), FormatAllRows(result.m_servers[0].offer));
    EXPECT_NE(strText.find("600 s (10 min)"), std::string::npos) << strText;
}

TEST(DiscoverOutput, JsonHasTheDocumentedShape)
{
    DiscoveryResult result;
    result.m_ClientMac = {0x02, 0, 0, 0x77, 0, 0x02};
    result.m_nTransactionId = 0x12345678;
    result.m_servers = {Server(kOne, 1), WithoutId()};
    result.m_servers[1].offer.m_mapOptions.erase(51);
    result.m_servers[1].offer.m_mapOptions.erase(1);
    result.m_counts = {9, 2, 3, 1, 4, 5, 6, 7, 8, 10};
    result.m_firstOffer = std::chrono::microseconds(3012500);
    const std::string strJson = FormatDiscoveryJson("vyb-cli", 1500ms, result, false);
    // One member a line, one server a line, in the documented order.
    EXPECT_EQ(strJson,
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
              "  \"first_offer_ms\": 3012.5\n"
              "}\n");
    const nlohmann::json document = nlohmann::json::parse(strJson);

    const nlohmann::json all =
        nlohmann::json::parse(FormatDiscoveryJson("vyb-cli", 1500ms, result, true));
    const nlohmann::json& options = all["servers"][0]["options"];
    EXPECT_EQ(options, nlohmann::json::parse(AllOptionsJson(result.m_servers[0].offer).dump()));
    ASSERT_EQ(options.size(), result.m_servers[0].offer.m_mapOptions.size());
    for (const nlohmann::json& option : options)
        EXPECT_EQ(option["source"], "offer") << option;
    EXPECT_FALSE(document["servers"][0].contains("options"));
}

TEST(DiscoverOutput, JsonReplacesBytesThatAreNotUtf8)
{
    DiscoveryResult result;
    const std::string strJson = FormatDiscoveryJson("vye-e\xffx\x1b", 1000ms, result, false);
    EXPECT_EQ(nlohmann::json::parse(strJson)["interface"], "vye-e\xEF\xBF\xBDx\x1b");
    EXPECT_EQ(strJson.find('\x1b'), std::string::npos);
    EXPECT_NE(strJson.find("\n  \"servers\": [],\n"), std::string::npos) << strJson;
}
} // namespace
