#include "app/cli/all_options_output.h"
#include "app/cli/command_line.h"
#include "app/cli/discover_command.h"
#include "app/cli/discover_output.h"
#include "app/cli/exit_status.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>

namespace
{
using namespace std::chrono_literals;

TEST(DiscoverCommand, ReadsItsArguments)
{
    const CommandLine line =
        ParseCommandLine({"--discover", "eth0", "--wait", "0.25", "--expect", "10.77.0.1",
                          "--client-mac", "02:AA:bb:cc:dd:ee", "--all", "--json"});
    ASSERT_TRUE(line.m_strError.empty()) << line.m_strError;
    ASSERT_TRUE(line.m_bDiscover);
    const DiscoverCommand& command = line.m_discover;
    EXPECT_EQ(command.m_strInterface, "eth0");
    EXPECT_EQ(command.m_wait, 250ms);
    EXPECT_EQ(command.m_nExpectedServer, 0x0A4D0001u);
    EXPECT_EQ(command.m_ClientMac, (HardwareAddress{0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
    EXPECT_TRUE(command.m_bAll);
    EXPECT_TRUE(command.m_bJson);

    const CommandLine plain = ParseCommandLine({"--discover", "eth0"});
    EXPECT_EQ(plain.m_discover.m_wait, 3000ms);
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

DiscoveredServer Server(std::uint32_t nId, std::uint8_t nRouter)
{
    DiscoveredServer server;
    server.m_nServerId = nId;
    server.m_Paths = {{nId, {0x02, 0, 0, 0x77, 0, 0x01}}};
    server.m_nOffers = 1;
    server.m_nYourAddress = 0x0A4D0064;
    server.m_mapOptions = {{1, {255, 255, 255, 0}},
                           {3, {10, 77, 0, nRouter}},
                           {6, {10, 77, 0, 1, 10, 77, 0, 2}},
                           {51, {0, 0, 0x02, 0x58}},
                           {53, {2}},
                           {54, {10, 77, 0, 1}}};
    return server;
}

// The back end stands in for the packet socket: it hands back the servers
// given, or fails with the errno value given, and records the settings.
struct FakeBackEnd
{
    std::vector<DiscoveredServer> m_servers;
    int m_nError = 0;
    DiscoverySettings m_settings;

    DiscoverBackEnd Seam()
    {
        return {[this](const DiscoverySettings& settings, DiscoveryResult& result)
                {
                    m_settings = settings;
                    result.m_servers = m_servers;
                    result.m_ClientMac = {0x02, 0, 0, 0x77, 0, 0x02};
                    result.m_counts.m_nIgnored = 3;
                    return m_nError;
                },
                [](HardwareAddress& address)
                {
                    address = {0x06, 1, 2, 3, 4, 5};
                    return 0;
                }};
    }
};

DiscoverOutcome RunWith(FakeBackEnd& backEnd, const std::vector<std::string>& extra = {})
{
    std::vector<std::string> arguments = {"--discover", "vyb-cli"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const CommandLine line = ParseCommandLine(arguments);
    EXPECT_TRUE(line.m_strError.empty()) << line.m_strError;
    std::string strProgress;
    DiscoverOutcome outcome =
        RunDiscover(line.m_discover, backEnd.Seam(),
                    [&strProgress](const std::string& str) { strProgress += str; });
    EXPECT_EQ(strProgress, "Discovering DHCP servers on vyb-cli for " +
                               WaitText(line.m_discover.m_wait) + "...\n");
    return outcome;
}

TEST(DiscoverCommand, ExitStatusSaysHowManyServersAnswered)
{
    const std::uint32_t kOne = 0x0A4D0001;
    const std::uint32_t kRogue = 0x0A4D00FE;
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
        {"another than expected",
         {Server(kRogue, 254)},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.254 (expected only 10.77.0.1)\n"},
        {"the expected one and another",
         {Server(kOne, 1), Server(kRogue, 254)},
         {"--expect", "10.77.0.1"},
         kExitOtherServers,
         "veyra: unexpected DHCP server on vyb-cli: 10.77.0.254 (expected only 10.77.0.1)\n"},
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
        const std::string strCounts = std::to_string(test.m_servers.size()) +
                                      (test.m_servers.size() == 1 ? " server" : " servers") +
                                      "; packets ignored: 3, malformed: 0\n";
        EXPECT_EQ(outcome.m_strErr, strCounts + test.pszMessage) << test.pszName;
        EXPECT_EQ(outcome.m_strOut.empty(), test.m_servers.empty()) << test.pszName;
    }
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

TEST(DiscoverOutput, ListsEachServerWithEveryPath)
{
    DiscoveryResult result;
    result.m_servers = {Server(0x0A4D0001, 1), Server(0x0A4D00FE, 254)};
    result.m_servers[0].m_Paths.push_back({0x0A4D00FD, {0x02, 0, 0, 0x77, 0, 0xFD}});
    result.m_servers[1].m_mapOptions.erase(51);
    result.m_servers[1].m_mapOptions[6] = {10, 77, 0, 9, 10, 77}; // a stray part is not shown
    EXPECT_EQ(FormatDiscoveryText(result, false),
              "Server ID    From                           Offered      Lease           "
              "Subnet Mask    Routers      DNS Servers\n"
              "10.77.0.1    10.77.0.1 02:00:00:77:00:01    10.77.0.100  600 s (10 min)  "
              "255.255.255.0  10.77.0.1    10.77.0.1 10.77.0.2\n"
              "             10.77.0.253 02:00:00:77:00:fd\n"
              "10.77.0.254  10.77.0.254 02:00:00:77:00:01  10.77.0.100                  "
              "255.255.255.0  10.77.0.254  10.77.0.9\n");
}

TEST(DiscoverOutput, AllShowsEveryOptionOfEachOffer)
{
    DiscoveryResult result;
    result.m_servers = {Server(0x0A4D0001, 1)};
    result.m_servers[0].m_mapOptions[224] = {0xDE, 0xAD};
    const std::string strText = FormatDiscoveryText(result, true);
    const std::string strOffer = "\nOffer of 10.77.0.1\n";
    const std::size_t nOffer = strText.find(strOffer);
    ASSERT_NE(nOffer, std::string::npos) << strText;
    Lease lease;
    lease.m_mapOptions = result.m_servers[0].m_mapOptions;
    EXPECT_EQ(strText.substr(nOffer + strOffer.size()), FormatAllRows(lease));
    EXPECT_NE(strText.find("600 s (10 min)"), std::string::npos) << strText;
}

TEST(DiscoverOutput, JsonHasTheDocumentedShape)
{
    DiscoveryResult result;
    result.m_ClientMac = {0x02, 0, 0, 0x77, 0, 0x02};
    result.m_nTransactionId = 0x12345678;
    result.m_servers = {Server(0x0A4D0001, 1), Server(0x0A4D00FE, 254)};
    result.m_servers[1].m_mapOptions.erase(51);
    result.m_servers[1].m_mapOptions.erase(1);
    result.m_counts.m_nIgnored = 4;
    result.m_counts.m_nMalformed = 1;
    const nlohmann::json document =
        nlohmann::json::parse(FormatDiscoveryJson("vyb-cli", 1500ms, result, false));
    const nlohmann::json expected = R"({
        "interface": "vyb-cli", "client_mac": "02:00:00:77:00:02",
        "transaction_id": 305419896, "wait_ms": 1500,
        "servers": [
          {"server_id": "10.77.0.1", "paths": [{"address": "10.77.0.1", "mac": "02:00:00:77:00:01"}],
           "offers": 1, "offered_address": "10.77.0.100", "lease_time": 600,
           "subnet_mask": "255.255.255.0", "routers": ["10.77.0.1"],
           "dns_servers": ["10.77.0.1", "10.77.0.2"]},
          {"server_id": "10.77.0.254", "paths": [{"address": "10.77.0.254", "mac": "02:00:00:77:00:01"}],
           "offers": 1, "offered_address": "10.77.0.100", "lease_time": null,
           "subnet_mask": null, "routers": ["10.77.0.254"],
           "dns_servers": ["10.77.0.1", "10.77.0.2"]}],
        "ignored": 4, "malformed": 1, "dropped": 0})"_json;
    EXPECT_EQ(document, expected);

    const nlohmann::json all =
        nlohmann::json::parse(FormatDiscoveryJson("vyb-cli", 1500ms, result, true));
    Lease lease;
    lease.m_mapOptions = result.m_servers[0].m_mapOptions;
    EXPECT_EQ(all["servers"][0]["options"], nlohmann::json::parse(AllOptionsJson(lease).dump()));
    EXPECT_FALSE(document["servers"][0].contains("options"));
}

TEST(DiscoverOutput, JsonReplacesBytesThatAreNotUtf8)
{
    DiscoveryResult result;
    const std::string strJson = FormatDiscoveryJson("vye-e\xffx\x1b", 1000ms, result, false);
    EXPECT_EQ(nlohmann::json::parse(strJson)["interface"], "vye-e\xEF\xBF\xBDx\x1b");
    EXPECT_EQ(strJson.find('\x1b'), std::string::npos);
}
} // namespace
