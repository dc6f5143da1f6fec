// --metrics' bounds: what a hostile link can make the file hold.
#include "app/cli/census_metrics.h"
#include "app/cli/command_line.h"
#include "testing/fake_discover_back_end.h"
#include "testing/scratch_directory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <sstream>

namespace
{
// Each series' value by its name and labels; a series written twice fails.
std::map<std::string, std::string> SeriesOf(const std::string& text)
{
    std::map<std::string, std::string> series;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
    {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.rfind(' ');
        EXPECT_TRUE(series.emplace(line.substr(0, space), line.substr(space + 1)).second)
            << "repeated: " << line;
    }
    return series;
}

std::vector<std::string> Named(const std::map<std::string, std::string>& series,
                               const std::string& name)
{
    std::vector<std::string> keys;
    for (const auto& entry : series)
    {
        if (entry.first.rfind(name + "{", 0) == 0)
            keys.push_back(entry.first);
    }
    return keys;
}

DiscoveredServer6 Server6(std::vector<std::uint8_t> duid)
{
    DiscoveredServer6 server;
    server.duid = std::move(duid);
    return server;
}

std::map<std::string, std::string> MetricsOf(const VlanCensus& vlan)
{
    CensusResult result;
    result.vlans = {vlan};
    const CensusVerdict verdict;
    DiscoverCommand command;
    command.interfaceName = std::string(300, 'i');
    return SeriesOf(FormatCensusMetrics(command, &result, &verdict, InterfaceLeases(), {}));
}

TEST(CensusMetrics, InfoSeriesPastTheBoundAreCounted)
{
    // 1100 DHCPv4 servers of distinct ids, the first twice (the same id and
    // path with other settings is another server, yet one series).
    VlanCensus vlan;
    for (std::uint32_t id = 0; id < 1100; ++id)
        vlan.servers.push_back(DiscoveredServer{id, {}, 1, 0, {}});
    vlan.servers.push_back(vlan.servers.front());
    const std::map<std::string, std::string> series = MetricsOf(vlan);
    EXPECT_EQ(1024u, Named(series, "veyra_dhcp_server_info").size());
    EXPECT_EQ("76", series.at("veyra_metrics_dropped_series{interface=\"" + std::string(256, 'i') +
                              "\"}"));
}

TEST(CensusMetrics, LabelsAreCutToTheirBound)
{
    // Two 200-byte DUIDs alike in their first 128 bytes: their hex is cut
    // to the same label, and the second is no repeated series.
    VlanCensus vlan;
    vlan.servers6 = {Server6(std::vector<std::uint8_t>(200, 0xAB)),
                     Server6(std::vector<std::uint8_t>(200, 0xAB))};
    vlan.servers6[1].duid.back() = 0xCD;
    const std::vector<std::string> info = Named(MetricsOf(vlan), "veyra_dhcp_server_info");
    ASSERT_EQ(1u, info.size());
    std::string hex;
    for (int i = 0; i < 128; ++i)
        hex += "ab";
    EXPECT_NE(std::string::npos, info[0].find("id=\"" + hex + "\""));
    EXPECT_EQ(0u, info[0].find("veyra_dhcp_server_info{interface=\"" + std::string(256, 'i')));
}

TEST(CensusMetrics, AFailedCensusWritesItsFailureAndTheLeases)
{
    InterfaceLeases leases;
    leases.error = 0;
    leases.lease.m_mapOptions = {{51, {0, 0, 0, 60}}, {54, {10, 0, 0, 1}}};
    leases.lease.m_tObtained = 100;
    leases.lease.m_nYourAddress = 0x0A000005;
    DiscoverCommand command;
    command.interfaceName = "vym-x";
    const std::map<std::string, std::string> series = SeriesOf(
        FormatCensusMetrics(command, nullptr, nullptr, leases,
                            std::chrono::system_clock::time_point(std::chrono::seconds(7))));
    const std::map<std::string, std::string> expected = {
        {"veyra_census_success{interface=\"vym-x\"}", "0"},
        {"veyra_census_timestamp_seconds{interface=\"vym-x\"}", "7"},
        {"veyra_dhcp_lease_expiry_timestamp_seconds{interface=\"vym-x\",family=\"dhcpv4\"}", "160"},
        {"veyra_dhcp_lease_info{interface=\"vym-x\",family=\"dhcpv4\",server=\"10.0.0.1\","
         "address=\"10.0.0.5\",source=\"\"}",
         "1"},
        {"veyra_metrics_dropped_series{interface=\"vym-x\"}", "0"},
    };
    EXPECT_EQ(expected, series);
}
// The census is judged by --expect and --expect-file alike, and a file that
// cannot be written is said on standard error.
TEST(CensusMetrics, RunDiscoverWritesTheJudgedCensus)
{
    const CScratchDirectory scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const std::string list = scratch.Path() + "/approved";
    std::ofstream(list) << "10.0.0.1\n";
    const struct
    {
        std::vector<std::string> extra;
        int writeError;
        std::string approved; // of 10.0.0.1's and 10.0.0.2's series
        std::string err;
    } cases[] = {
        {{}, 0, "unknown unknown", ""},
        {{"--expect-file", list}, 0, "true false", ""},
        {{"--expect", "10.0.0.2"},
         ENOSPC,
         "false true",
         "veyra: cannot write --metrics m.prom: No space left on device (ENOSPC)\n"},
    };
    for (const auto& test : cases)
    {
        std::vector<std::string> arguments = {"--discover", "vym-x", "-4", "--metrics", "m.prom"};
        arguments.insert(arguments.end(), test.extra.begin(), test.extra.end());
        const CommandLine line = ParseCommandLine(arguments);
        std::string written;
        FakeDiscoverBackEnd fake;
        fake.vlans.resize(1);
        for (const std::uint32_t id : {0x0A000001u, 0x0A000002u})
            fake.vlans[0].servers.push_back(DiscoveredServer{id, {id, {}}, 1, 0, {}});
        DiscoverBackEnd backEnd = fake.Seam();
        backEnd.writeFile = [&](const std::string& path, const std::string& text)
        {
            EXPECT_EQ("m.prom", path);
            written = text;
            return test.writeError;
        };
        const DiscoverOutcome outcome =
            RunDiscover(line.census, backEnd, [](const std::string&) {});
        std::string approved;
        for (const auto& [series, value] : SeriesOf(written))
        {
            const std::size_t at = series.find("approved=\"");
            if (at != std::string::npos)
                approved += (approved.empty() ? "" : " ") +
                            series.substr(at + 10, series.find('"', at + 10) - at - 10);
        }
        EXPECT_EQ(test.approved, approved);
        EXPECT_EQ(test.err, outcome.err.substr(outcome.err.size() - test.err.size()));
    }
}
} // namespace
