#include "app/cli/check_output.h"

#include "app/cli/discover_output.h"
#include "app/cli/text_columns.h"

namespace
{
using Microseconds = std::chrono::microseconds;

// What each family of a census gives the performance data.
struct FamilyPerf
{
    CensusFamily family;
    const char* serversLabel;
    const char* timeLabel;
    const char* firstReply; // as the problem names it
    std::size_t (*responders)(const VlanCensus&);
    std::optional<Microseconds> VlanCensus::*first;
};

constexpr FamilyPerf kFamilyPerf[] = {
    {kCensusDhcpv4, "dhcpv4_servers", "dhcpv4_offer_ms", "DHCPv4 offer",
     [](const VlanCensus& v) { return v.servers.size(); }, &VlanCensus::firstOffer},
    {kCensusDhcpv6, "dhcpv6_servers", "dhcpv6_advertise_ms", "DHCPv6 Advertise",
     [](const VlanCensus& v) { return v.servers6.size(); }, &VlanCensus::firstAdvertise},
    {kCensusRouters, "routers", "router_ms", "Router Advertisement",
     [](const VlanCensus& v) { return v.routers.size(); }, &VlanCensus::firstRouter},
};

double Milliseconds(Microseconds time)
{
    return static_cast<double>(time.count()) / 1000.0;
}

std::string Threshold(const std::optional<std::chrono::milliseconds>& limit)
{
    return limit ? std::to_string(limit->count()) : std::string();
}

std::string Plural(std::size_t count, const std::string& noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}
} // namespace

std::string ProblemLine(const std::string& err, const std::string& mode)
{
    const std::size_t start = err.find("veyra: ");
    const std::size_t from = start == std::string::npos ? 0 : start + 7;
    std::string line = err.substr(from, err.find('\n', from) - from);
    // The census's own failures name the mode that ran it.
    if (!mode.empty() && line.rfind("--discover ", 0) == 0)
        line.replace(0, 10, mode);
    return line;
}

void SummarizeProblems(const std::vector<std::string>& problems, PluginOutput& output)
{
    if (problems.empty())
        return;
    output.summary = problems.front();
    if (problems.size() > 1)
    {
        output.summary += "; " + std::to_string(problems.size() - 1) + " more";
        output.details = problems;
    }
}

DiscoverOutcome CensusCheck(const DiscoverCommand& command, const CensusResult& result,
                            const CensusVerdict& verdict)
{
    PluginOutput output;
    output.service = "DHCP";
    std::vector<std::string> problems;
    for (const CensusFinding& finding : verdict.findings)
        problems.push_back(ProblemLine(finding.text));
    for (const std::string& silence : verdict.silences)
        problems.push_back(ProblemLine(silence));
    std::vector<std::string> slow;
    std::vector<std::string> slowish;
    std::size_t responders[std::size(kFamilyPerf)] = {};
    for (const VlanCensus& vlan : result.vlans)
    {
        const std::string suffix =
            vlan.probe.vlan ? "_vlan" + std::to_string(*vlan.probe.vlan) : std::string();
        for (std::size_t i = 0; i < std::size(kFamilyPerf); ++i)
        {
            const FamilyPerf& row = kFamilyPerf[i];
            if ((result.families & row.family) == 0)
                continue;
            const std::size_t count = row.responders(vlan);
            responders[i] += count;
            output.perfData.push_back(
                {row.serversLabel + suffix, static_cast<double>(count), "", "", "", 0.0, {}});
            const std::optional<Microseconds>& first = vlan.*row.first;
            output.perfData.push_back(
                {row.timeLabel + suffix, first ? std::optional(Milliseconds(*first)) : std::nullopt,
                 "ms", Threshold(command.warning), Threshold(command.critical), 0.0,
                 static_cast<double>(command.wait.count())});
            if (!first)
                continue;
            const auto over = [&](const std::optional<std::chrono::milliseconds>& limit,
                                  const char* option, std::vector<std::string>& into)
            {
                if (!limit || *first <= *limit)
                    return false;
                into.push_back("first " + std::string(row.firstReply) +
                               OnText(command.interfaceName, vlan.probe.vlan) + " after " +
                               PerfNumber(Milliseconds(*first)) + " ms (" + option + " " +
                               std::to_string(limit->count()) + " ms)");
                return true;
            };
            if (!over(command.critical, "-c", slow))
                over(command.warning, "-w", slowish);
        }
    }
    const bool critical = !problems.empty() || !slow.empty();
    output.status = critical ? kCheckCritical : !slowish.empty() ? kCheckWarning : kCheckOk;
    problems.insert(problems.end(), slow.begin(), slow.end());
    problems.insert(problems.end(), slowish.begin(), slowish.end());
    SummarizeProblems(problems, output);
    if (problems.empty())
    {
        std::string counts;
        const char* nouns[] = {"DHCPv4 server", "DHCPv6 server", "router"};
        for (std::size_t i = 0; i < std::size(kFamilyPerf); ++i)
        {
            if ((result.families & kFamilyPerf[i].family) != 0)
                counts += (counts.empty() ? "" : ", ") + Plural(responders[i], nouns[i]);
        }
        output.summary =
            counts + " on " + TerminalSafe(command.interfaceName) +
            (command.vlans.empty() ? std::string() : ", " + Plural(command.vlans.size(), "VLAN"));
    }
    return {FormatPluginOutput(output), std::string(), output.status};
}

DiscoverOutcome CensusCheckFailure(const DiscoverOutcome& failure)
{
    // Its first "veyra: " line is why the census could not run; a metrics
    // file that could not be written stays on standard error.
    std::string rest = failure.err;
    rest.erase(0, rest.find('\n', rest.find("veyra: ")) + 1);
    PluginOutput output;
    output.service = "DHCP";
    output.summary = ProblemLine(failure.err, "--check");
    return {FormatPluginOutput(output), rest, kCheckUnknown};
}

DiscoverOutcome CheckUsageFailure(const std::string& service, const std::string& error)
{
    PluginOutput output;
    output.service = service;
    output.summary = error;
    return {FormatPluginOutput(output), std::string(), kCheckUnknown};
}
