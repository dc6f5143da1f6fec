#include "app/cli/discover_command.h"

#include "app/cli/census_json.h"
#include "app/cli/census_metrics.h"
#include "app/cli/census_output.h"
#include "app/cli/census_verdict.h"
#include "app/cli/check_output.h"
#include "app/cli/discover_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/text_columns.h"
#include "core/wire/vlan_list.h"
#include "linux/errno_text.h"
#include "platform/bounded_file.h"

#include <cctype>
#include <cerrno>
#include <unistd.h>

// Long enough for any server on any link; a discovery is a moment's check.
constexpr std::chrono::milliseconds kMaxWait(600000);

bool ParseWait(const std::string& text, std::chrono::milliseconds& wait)
{
    // Seconds with up to three decimals: "3", "0.5", "1.25".
    std::int64_t ms = 0;
    std::size_t at = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at)
    {
        ms = ms * 10 + (text[at] - '0');
        if (ms > kMaxWait.count())
            return false;
    }
    if (at == 0)
        return false;
    ms *= 1000;
    if (at < text.size() && text[at] == '.')
    {
        std::int64_t scale = 100;
        for (++at;
             at < text.size() && scale > 0 && std::isdigit(static_cast<unsigned char>(text[at]));
             ++at, scale /= 10)
            ms += (text[at] - '0') * scale;
    }
    if (at != text.size() || ms == 0 || ms > kMaxWait.count())
        return false;
    wait = std::chrono::milliseconds(ms);
    return true;
}

std::optional<std::int64_t> ParseCount(const std::string& text, std::int64_t most)
{
    std::int64_t value = 0;
    for (const char c : text)
    {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > most)
            return std::nullopt;
    }
    if (text.empty() || value == 0)
        return std::nullopt;
    return value;
}

bool ParseMilliseconds(const std::string& text, std::optional<std::chrono::milliseconds>& ms)
{
    const std::optional<std::int64_t> value = ParseCount(text, kMaxWait.count());
    if (value)
        ms = std::chrono::milliseconds(*value);
    return value.has_value();
}

namespace
{
DiscoverOutcome Failure(int error, const std::string& interfaceName)
{
    DiscoverOutcome outcome;
    switch (error)
    {
    case EPERM:
    case EACCES:
        outcome.err = "veyra: --discover needs root or CAP_NET_RAW: run it as root, or give the "
                      "program cap_net_raw+ep\n";
        outcome.status = kExitNoPermission;
        break;
    case ENODEV:
        outcome.err = NoSuchAdapterText(interfaceName);
        outcome.status = kExitNoAdapter;
        break;
    case ENOENT:
        outcome.err = "veyra: " + TerminalSafe(interfaceName) +
                      " is not an Ethernet interface; a census needs one (a trunk port for "
                      "--vlan)\n";
        outcome.status = kExitFailed;
        break;
    default:
        outcome.err = "veyra: census on " + TerminalSafe(interfaceName) +
                      " failed: " + ErrnoText(error) + "\n";
        outcome.status = kExitFailed;
        break;
    }
    return outcome;
}

DiscoverOutcome UsageFailure(const std::string& message)
{
    DiscoverOutcome outcome;
    outcome.err = "veyra: " + message + "\n";
    outcome.status = kExitUsage;
    return outcome;
}

// Appends the approved entries of each file; empty, or what is wrong. A link
// is refused: veyra may run as root.
std::string ReadExpectFiles(const std::vector<std::string>& files,
                            std::vector<ApprovedEntry>& approved)
{
    for (const std::string& file : files)
    {
        std::string text;
        const int error = ReadBoundedFile(file, kMaxApprovedBytes, SymbolicLinks::Refuse, text);
        if (error != 0)
            return "cannot read --expect-file " + TerminalSafe(file) + ": " + ErrnoText(error);
        const std::size_t before = approved.size();
        if (const std::size_t line = ParseApprovedServers(text, approved))
            return TerminalSafe(file) + ":" + std::to_string(line) +
                   (approved.size() - before == kMaxApprovedServers
                        ? ": more than " + std::to_string(kMaxApprovedServers) + " entries"
                        : std::string(": not an approved entry (ID[@MAC], duid:HEX, fe80::... "
                                      "or MAC, each with an optional %VLAN)"));
    }
    return std::string();
}

std::size_t Answers(const CensusResult& result)
{
    std::size_t answers = 0;
    for (const VlanCensus& vlan : result.vlans)
        answers += vlan.counts.offers + vlan.counts6.advertises + vlan.routerCounts.advertisements;
    return answers;
}

// Writes --metrics' file: the census (null where it could not run), judged
// by approved (--expect and every --expect-file), and the interface's leases.
// Empty, or the line saying why it could not be written.
std::string WriteMetrics(const DiscoverCommand& command, const std::vector<ApprovedEntry>& approved,
                         const DiscoverBackEnd& backEnd, const CensusResult* result,
                         const CensusVerdict* verdict)
{
    const InterfaceLeases leases =
        backEnd.leases ? backEnd.leases(command.interfaceName) : InterfaceLeases();
    DiscoverCommand judged = command;
    judged.approved = approved;
    const std::string text = FormatCensusMetrics(judged, result, verdict, leases, backEnd.now());
    const int error = backEnd.writeFile(command.metricsFile, text);
    return error == 0 ? std::string()
                      : "veyra: cannot write --metrics " + TerminalSafe(command.metricsFile) +
                            ": " + ErrnoText(error) + "\n";
}

// "Census on eth0, 50 VLANs" or "Census on eth0".
std::string CensusName(const DiscoverCommand& command)
{
    const std::size_t vlans = command.vlans.size();
    return "Census on " + TerminalSafe(command.interfaceName) +
           (vlans == 0 ? std::string()
                       : ", " + std::to_string(vlans) + (vlans == 1 ? " VLAN" : " VLANs"));
}

// "Census on eth0, 50 VLANs: 2.4 s left, 12 answers so far", written over
// itself at most once a tenth of a second.
class ProgressLine
{
public:
    ProgressLine(const std::string& name, const std::function<void(const std::string&)>& write)
        : m_prefix(name + ": "), m_write(write)
    {
    }

    void Show(const Census& census, std::chrono::steady_clock::duration left)
    {
        const auto tenths = std::chrono::ceil<std::chrono::milliseconds>(left).count() / 100;
        if (tenths == m_tenthsShown)
            return;
        m_tenthsShown = tenths;
        const std::size_t answers = Answers(census.Result());
        m_write("\r" + m_prefix + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) +
                " s left, " + std::to_string(answers) + (answers == 1 ? " answer" : " answers") +
                " so far" + kClearToEnd);
    }

    void Clear() { m_write(std::string("\r") + kClearToEnd); }

private:
    static constexpr const char* kClearToEnd = "\x1b[K";
    std::string m_prefix;
    std::function<void(const std::string&)> m_write;
    std::int64_t m_tenthsShown = -1;
};
} // namespace

bool ParseClientMac(const std::string& text, std::optional<HardwareAddress>& address)
{
    HardwareAddress mac{};
    if (text == "random")
        address.reset();
    else if (ParseMacText(text, mac) && IsLocallyAdministeredUnicast(mac))
        address = mac;
    else
        return false;
    return true;
}

std::string ClientMacError(const char* spared)
{
    return std::string("--client-mac takes \"random\" or a locally administered unicast address "
                       "(second hex digit 2, 6, A or E), so that no device's lease is ") +
           spared;
}

DiscoverOutcome CensusFailure(int error, const std::string& interfaceName)
{
    return Failure(error, interfaceName);
}

bool StandardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

std::string ParseVlanList(std::string_view text, std::vector<std::uint16_t>& vlans)
{
    const std::optional<VlanListError> error = ReadVlanList(text, vlans);
    if (!error)
        return std::string();
    return "--vlan takes VLAN ids from 1 to " + std::to_string(kMaxVlanId) +
           " and ranges, as 10,20,100-199; " + (error->descending ? "a range goes up" : "not one") +
           ": \"" + TerminalSafe(error->item) + "\"";
}

std::string ParseDiscoverCommand(const std::vector<std::string>& arguments,
                                 DiscoverCommand& command)
{
    command = DiscoverCommand();
    bool interfaceGiven = false;
    unsigned narrowed = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& option = arguments[i];
        const bool takesValue = option == "--discover" || option == "--wait" ||
                                option == "--client-mac" || option == "--expect" ||
                                option == "--expect-file" || option == "--vlan" || option == "-w" ||
                                option == "-c" || option == "--metrics";
        if (takesValue && i + 1 == arguments.size())
            return option + " needs a value";
        const std::string value = takesValue ? arguments[++i] : std::string();
        if (option == "--discover")
        {
            if (interfaceGiven)
                return "give one interface to --discover";
            if (value.empty())
                return "--discover needs an interface name";
            command.interfaceName = value;
            interfaceGiven = true;
        }
        else if (option == "-4" || option == "-6")
        {
            const unsigned families =
                option == "-4" ? unsigned{kCensusDhcpv4} : unsigned{kCensusDhcpv6 | kCensusRouters};
            if (narrowed != 0 && narrowed != families)
                return "choose one of -4 and -6 (neither asks every family)";
            narrowed = families;
            command.families = families;
        }
        else if (option == "--vlan")
        {
            const std::string error = ParseVlanList(value, command.vlans);
            if (!error.empty())
                return error;
        }
        else if (option == "--promiscuous")
        {
            command.promiscuous = true;
        }
        else if (option == "--wait")
        {
            if (!ParseWait(value, command.wait))
                return "--wait takes seconds, more than 0 and at most 600";
        }
        else if (option == "--client-mac")
        {
            std::optional<HardwareAddress> address;
            if (!ParseClientMac(value, address))
                return ClientMacError("asked for");
            if (address)
                command.clientMac = address;
            else
                command.randomClientMac = true;
        }
        else if (option == "--expect")
        {
            std::optional<ApprovedEntry> entry = ParseApprovedEntry(value);
            if (!entry)
                return "--expect takes a DHCPv4 server identifier (an IPv4 address) or ID@MAC, "
                       "a DHCPv6 server's duid:HEX, or a router's fe80:: address or MAC, each "
                       "with an optional %VLAN";
            command.approved.push_back(std::move(*entry));
        }
        else if (option == "--expect-file")
        {
            if (value.empty())
                return "--expect-file needs a file name";
            command.expectFiles.push_back(value);
        }
        else if (option == "--check")
        {
            command.check = true;
        }
        else if (option == "-w" || option == "-c")
        {
            if (!ParseMilliseconds(value, option == "-w" ? command.warning : command.critical))
                return option + " takes the first reply's time in milliseconds, 1 to 600000";
        }
        else if (option == "--metrics")
        {
            if (value.empty())
                return "--metrics needs a file name";
            command.metricsFile = value;
        }
        else if (option == "--all")
        {
            command.all = true;
        }
        else if (option == "--json")
        {
            command.json = true;
        }
        else
        {
            return "--discover does not take " + option;
        }
    }
    if (!interfaceGiven)
        return "--check needs an interface";
    if (!command.check && (command.warning || command.critical))
        return "-w and -c need --check";
    if (command.check && (command.all || command.json))
        return "--check prints one status line; --all and --json are for --discover";
    if (command.warning && command.critical && *command.warning > *command.critical)
        return "-w is above -c: a reply is warned of before it is critical";
    return std::string();
}

DiscoverOutcome RunDiscover(const DiscoverCommand& command, const DiscoverBackEnd& backEnd,
                            const std::function<void(const std::string&)>& progress)
{
    std::vector<ApprovedEntry> approved = command.approved;
    const std::string listError = ReadExpectFiles(command.expectFiles, approved);
    if (!listError.empty())
        return UsageFailure(listError);

    CensusSettings settings;
    settings.interfaceName = command.interfaceName;
    settings.wait = command.wait;
    settings.families = command.families;
    settings.vlans = command.vlans;
    settings.clientMac = command.clientMac;
    settings.randomClientMac = command.randomClientMac;
    settings.promiscuous = command.promiscuous;

    const bool terminal = backEnd.errorIsTerminal && backEnd.errorIsTerminal();
    ProgressLine line(CensusName(command), progress);
    if (terminal)
        settings.progress = [&line](const Census& census, std::chrono::steady_clock::duration left)
        { line.Show(census, left); };
    else
        progress(CensusName(command) + " for " + WaitText(command.wait) + "...\n");
    CensusResult result;
    const int error = backEnd.census(settings, result);
    if (terminal)
        line.Clear();
    if (error != 0)
    {
        DiscoverOutcome failure = Failure(error, command.interfaceName);
        if (!command.metricsFile.empty())
            failure.err += WriteMetrics(command, approved, backEnd, nullptr, nullptr);
        return command.check ? CensusCheckFailure(failure) : failure;
    }

    FlagUnexpected(result, approved);
    const CensusVerdict verdict =
        JudgeCensus(command.interfaceName, command.wait, result, approved);
    const std::string metricsError =
        command.metricsFile.empty() ? std::string()
                                    : WriteMetrics(command, approved, backEnd, &result, &verdict);
    if (command.check)
    {
        DiscoverOutcome check = CensusCheck(command, result, verdict);
        check.err += metricsError;
        return check;
    }
    DiscoverOutcome outcome;
    outcome.out = command.json ? FormatCensusJson(command.interfaceName, command.wait, result,
                                                  verdict, command.all)
                               : FormatCensusText(result, verdict, command.all);
    for (const CensusFinding& finding : verdict.findings)
        outcome.err += finding.text;
    for (const std::string& silence : verdict.silences)
        outcome.err += silence;
    outcome.err += CensusCountsText(result);
    outcome.err += metricsError;
    outcome.status = verdict.status;
    return outcome;
}
