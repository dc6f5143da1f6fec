#include "app/cli/handshake_output.h"

#include "app/cli/check_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/json_text.h"
#include "app/cli/plugin_output.h"
#include "app/cli/text_columns.h"
#include "core/wire/probe_messages.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace
{
using Json = nlohmann::ordered_json;

constexpr const char* kHandshakeService = "DHCP HANDSHAKE";

const char* Family(const HandshakeExchange& exchange)
{
    return exchange.ipv6 ? "DHCPv6" : "DHCPv4";
}

// Microseconds as milliseconds with three decimals.
std::string Milliseconds(std::chrono::microseconds time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(time.count() / 1000),
                  static_cast<long long>(time.count() % 1000));
    return text;
}

std::string Seconds(std::chrono::milliseconds wait)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(wait.count() / 1000),
                  static_cast<long long>(wait.count() % 1000));
    std::string seconds = text;
    while (seconds.back() == '0')
        seconds.pop_back();
    if (seconds.back() == '.')
        seconds.pop_back();
    return seconds;
}

std::string StepLine(const HandshakeCommand& command, const HandshakeExchange& exchange,
                     const HandshakeStep& step)
{
    std::string line = std::string(Family(exchange)) + " " + step.sent + ": ";
    if (step.end == StepEnd::Sent)
        return line + "sent to " + step.server + " for " + step.address + "\n";
    if (step.end == StepEnd::Silent)
        return line + "no answer within " + Seconds(command.wait) + " s\n";
    line += step.answer;
    if (step.status && *step.status != 0)
        line += " status " + std::to_string(*step.status);
    if (!step.address.empty())
        line += " " + step.address;
    line += " from " + (step.server.empty() ? std::string("a server without an id") : step.server);
    if (step.leaseTime)
        line += ", lease " + std::to_string(*step.leaseTime) + " s";
    if (!step.subnetMask.empty())
        line += ", mask " + step.subnetMask;
    for (std::size_t i = 0; i < step.routers.size(); ++i)
        line += (i == 0 ? ", routers " : " ") + step.routers[i];
    line += ", " + Milliseconds(*step.time) + " ms";
    if (!step.text.empty())
        line += ": \"" + TerminalSafe(step.text) + "\"";
    return line + "\n";
}

// Why an exchange ended before its last step; empty when it did not.
std::string Stopped(const HandshakeExchange& exchange)
{
    if (exchange.steps.empty())
        return std::string();
    const HandshakeStep& last = exchange.steps.back();
    if (last.end == StepEnd::Silent)
        return "no answer";
    if (last.end != StepEnd::Refused)
        return std::string();
    if (last.answer == "NAK")
        return "the server refused it (NAK)";
    if (last.status && *last.status != 0)
        return "the server answered status " + std::to_string(*last.status);
    return last.server.empty() ? "the offer names no server" : "no address offered";
}

int Status(const HandshakeResult& result)
{
    if (!result.carrier)
        return kExitNoServer;
    int status = kExitDone;
    for (const HandshakeExchange& exchange : result.exchanges)
    {
        if (exchange.steps.empty())
            continue;
        const StepEnd end = exchange.steps.back().end;
        if (end == StepEnd::Silent)
            return kExitNoServer;
        if (end == StepEnd::Refused)
            status = kExitFailed;
    }
    return status;
}

const char* EndName(StepEnd end)
{
    switch (end)
    {
    case StepEnd::Answered:
        return "answered";
    case StepEnd::Refused:
        return "refused";
    case StepEnd::Silent:
        return "no answer";
    case StepEnd::Sent:
        return "sent";
    }
    return "";
}

std::string Label(const HandshakeExchange& exchange, const HandshakeStep& step)
{
    std::string label = std::string(exchange.ipv6 ? "dhcpv6_" : "dhcpv4_") + step.sent;
    std::transform(label.begin(), label.end(), label.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return label;
}

double Ms(std::chrono::microseconds time)
{
    return static_cast<double>(time.count()) / 1000;
}

// What the exchange leased (or, asked for an offer alone, was offered).
std::string Leased(const HandshakeExchange& exchange)
{
    const auto request = std::find_if(exchange.steps.begin(), exchange.steps.end(),
                                      [](const HandshakeStep& step)
                                      { return step.sent == "REQUEST" || step.sent == "Request"; });
    const HandshakeStep& leased =
        request != exchange.steps.end() ? *request : exchange.steps.front();
    return leased.answer + " " + leased.address + " from " + leased.server;
}

std::string Threshold(const std::optional<std::chrono::milliseconds>& threshold)
{
    return threshold ? std::to_string(threshold->count()) : std::string();
}
} // namespace

std::string HandshakeNotice(const HandshakeCommand& command)
{
    const std::string as = command.relay ? "a relay agent" : "a client";
    return "veyra: talking to the DHCP server" + std::string(command.relay ? " " : "s ") + "as " +
           as + " would: " +
           (command.fullExchange ? "a lease is taken, then released\n"
                                 : "an offer is asked for, no lease taken\n");
}

DiscoverOutcome HandshakeText(const HandshakeCommand& command, const HandshakeResult& result)
{
    DiscoverOutcome outcome;
    outcome.status = Status(result);
    if (!result.carrier)
    {
        outcome.err = "veyra: " + TerminalSafe(command.interfaceName) + " has no carrier\n";
        return outcome;
    }
    outcome.out = "Client " + ProbeMacText(result.clientMac) + "\n";
    for (const HandshakeExchange& exchange : result.exchanges)
    {
        for (const HandshakeStep& step : exchange.steps)
            outcome.out += StepLine(command, exchange, step);
        const std::string stopped = Stopped(exchange);
        if (!stopped.empty())
            outcome.out += std::string(Family(exchange)) + ": stopped at " +
                           exchange.steps.back().sent + ": " + stopped + "\n";
    }
    return outcome;
}

DiscoverOutcome HandshakeJson(const HandshakeCommand&, const HandshakeResult& result)
{
    Json exchanges = Json::array();
    for (const HandshakeExchange& exchange : result.exchanges)
    {
        Json steps = Json::array();
        for (const HandshakeStep& step : exchange.steps)
        {
            Json entry;
            entry["sent"] = step.sent;
            entry["answer"] = step.answer.empty() ? Json() : Json(step.answer);
            entry["end"] = EndName(step.end);
            entry["time_ms"] =
                step.time ? Json(static_cast<double>(step.time->count()) / 1000) : Json();
            entry["address"] = step.address.empty() ? Json() : Json(step.address);
            entry["server"] = step.server.empty() ? Json() : Json(step.server);
            entry["lease_time"] = step.leaseTime ? Json(*step.leaseTime) : Json();
            entry["subnet_mask"] = step.subnetMask.empty() ? Json() : Json(step.subnetMask);
            entry["routers"] = step.routers;
            entry["status"] = step.status ? Json(*step.status) : Json();
            entry["text"] = step.text.empty() ? Json() : Json(step.text);
            steps.push_back(std::move(entry));
        }
        Json family;
        family["family"] = exchange.ipv6 ? "dhcpv6" : "dhcpv4";
        family["steps"] = std::move(steps);
        exchanges.push_back(std::move(family));
    }
    Json document;
    document["client_mac"] = ProbeMacText(result.clientMac);
    document["carrier"] = result.carrier;
    document["exchanges"] = std::move(exchanges);
    return {JsonDocument(document), std::string(), Status(result)};
}

DiscoverOutcome HandshakeCheck(const HandshakeCommand& command, const HandshakeResult& result)
{
    PluginOutput output;
    output.service = kHandshakeService;
    output.status = kCheckOk;
    std::vector<std::pair<CheckStatus, std::string>> problems;
    std::vector<std::string> leases;
    if (!result.carrier)
        problems.emplace_back(kCheckCritical, command.interfaceName + " has no carrier");
    for (const HandshakeExchange& exchange : result.exchanges)
    {
        if (exchange.steps.empty())
            continue;
        const std::string family = Family(exchange);
        const std::string stopped = Stopped(exchange);
        if (!stopped.empty())
            problems.emplace_back(kCheckCritical,
                                  family + " " + exchange.steps.back().sent + ": " + stopped);
        else
            leases.push_back(family + " " + Leased(exchange));
        for (const HandshakeStep& step : exchange.steps)
        {
            if (!step.time)
                continue;
            const std::string took =
                family + " " + step.sent + " took " + PerfNumber(Ms(*step.time)) + " ms (over ";
            if (command.critical && *step.time > *command.critical)
                problems.emplace_back(kCheckCritical,
                                      took + "-c " + Threshold(command.critical) + " ms)");
            else if (command.warning && *step.time > *command.warning)
                problems.emplace_back(kCheckWarning,
                                      took + "-w " + Threshold(command.warning) + " ms)");
            output.perfData.push_back({Label(exchange, step), Ms(*step.time), "ms",
                                       Threshold(command.warning), Threshold(command.critical), 0.0,
                                       std::nullopt});
        }
    }
    // The worst first, in the order found.
    std::stable_sort(problems.begin(), problems.end(),
                     [](const auto& a, const auto& b)
                     { return WorseStatus(a.first, b.first) == a.first && a.first != b.first; });
    std::vector<std::string> texts;
    for (const auto& problem : problems)
    {
        output.status = WorseStatus(output.status, problem.first);
        texts.push_back(problem.second);
    }
    SummarizeProblems(texts, output);
    if (texts.empty())
    {
        for (const std::string& lease : leases)
            output.summary += (output.summary.empty() ? "" : "; ") + lease;
    }
    return {FormatPluginOutput(output), std::string(), output.status};
}

DiscoverOutcome HandshakeCheckFailure(const DiscoverOutcome& failure)
{
    PluginOutput output;
    output.service = kHandshakeService;
    output.summary = ProblemLine(failure.err);
    return {FormatPluginOutput(output), std::string(), kCheckUnknown};
}
