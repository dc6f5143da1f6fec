#include "app/cli/lease_check.h"

#include "app/cli/census_names.h"
#include "app/cli/check_output.h"
#include "app/cli/discover_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/text_columns.h"
#include "core/wire/dhcpv6_message.h"
#include "linux/errno_text.h"

#include <algorithm>
#include <cmath>

namespace
{
// A lease that needs watching ends within a year.
constexpr std::int64_t kMaxHours = 8760;

bool ParseHours(const std::string& text, std::optional<std::chrono::hours>& hours)
{
    const std::optional<std::int64_t> value = ParseCount(text, kMaxHours);
    if (value)
        hours = std::chrono::hours(*value);
    return value.has_value();
}

std::uint32_t ReadBe32(const std::vector<std::uint8_t>& bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

// One family's lease, as the check judges it.
struct HeldLease
{
    const char* name = "";   // "DHCPv4"
    const char* prefix = ""; // of its performance data
    CensusFamily family = kCensusDhcpv4;
    int error = 0;
    std::optional<std::int64_t> expires; // empty: not known, or never
    bool endless = false;
    std::vector<std::uint8_t> server; // its identifier or DUID; empty: none named
    std::string serverName;
};

HeldLease Dhcpv4Lease(const InterfaceLeases& leases)
{
    HeldLease held{"DHCPv4", "dhcpv4", kCensusDhcpv4, leases.error, {}, false, {}, {}};
    const Lease& lease = leases.lease;
    held.expires = lease.m_tExpires;
    const auto time = lease.m_mapOptions.find(51);
    held.endless = !held.expires && time != lease.m_mapOptions.end() &&
                   time->second == OptionBytes{0xFF, 0xFF, 0xFF, 0xFF};
    const auto id = lease.m_mapOptions.find(54);
    if (id != lease.m_mapOptions.end() && id->second.size() == 4)
    {
        held.server = id->second;
        held.serverName = AddressText(ReadBe32(id->second));
    }
    return held;
}

HeldLease Dhcpv6Lease(const InterfaceLeases& leases)
{
    constexpr std::uint16_t kServerId = 2;
    HeldLease held{"DHCPv6", "dhcpv6", kCensusDhcpv6, leases.error6, {}, false, {}, {}};
    const Lease6& lease = leases.lease6;
    const std::optional<std::uint32_t> valid = ShortestValidLifetime(lease.options);
    if (lease.obtained && valid)
        held.expires = *lease.obtained + *valid;
    held.endless = lease.obtained && !valid && !LeasedAddresses(lease.options).empty();
    const auto id =
        std::find_if(lease.options.begin(), lease.options.end(),
                     [](const Dhcpv6Option& option) { return option.code == kServerId; });
    if (id != lease.options.end() && !id->data.empty())
    {
        held.server = id->data;
        held.serverName = "duid:" + DuidHex(id->data);
    }
    return held;
}

bool Answered(const HeldLease& held, const CensusResult& result)
{
    for (const VlanCensus& vlan : result.vlans)
    {
        for (const DiscoveredServer& server : vlan.servers)
        {
            if (held.family == kCensusDhcpv4 && server.serverId == ReadBe32(held.server))
                return true;
        }
        for (const DiscoveredServer6& server : vlan.servers6)
        {
            if (held.family == kCensusDhcpv6 && server.duid == held.server)
                return true;
        }
    }
    return false;
}

std::size_t Responders(const HeldLease& held, const CensusResult& result)
{
    std::size_t count = 0;
    for (const VlanCensus& vlan : result.vlans)
        count += held.family == kCensusDhcpv4 ? vlan.servers.size() : vlan.servers6.size();
    return count;
}

std::string HoursText(double hours)
{
    return PerfNumber(std::round(hours * 10) / 10) + " h";
}

// Problems with their status, to be put worst first.
class Problems
{
public:
    void Add(CheckStatus status, const std::string& text)
    {
        if (std::none_of(m_items.begin(), m_items.end(),
                         [&text](const Item& item) { return item.text == text; }))
            m_items.push_back({status, text});
    }

    void Into(PluginOutput& output)
    {
        std::stable_sort(m_items.begin(), m_items.end(),
                         [](const Item& a, const Item& b) {
                             return a.status != b.status &&
                                    WorseStatus(a.status, b.status) == a.status;
                         });
        output.status = kCheckOk;
        std::vector<std::string> texts;
        for (const Item& item : m_items)
        {
            output.status = WorseStatus(output.status, item.status);
            texts.push_back(item.text);
        }
        SummarizeProblems(texts, output);
    }

private:
    struct Item
    {
        CheckStatus status;
        std::string text;
    };
    std::vector<Item> m_items;
};
} // namespace

std::string ParseLeaseCheckCommand(const std::vector<std::string>& arguments,
                                   LeaseCheckCommand& command)
{
    command = LeaseCheckCommand();
    unsigned narrowed = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& option = arguments[i];
        const bool takesValue = option == "--check-lease" || option == "--interface" ||
                                option == "-w" || option == "-c" || option == "--wait";
        if (takesValue && i + 1 == arguments.size())
            return option + " needs a value";
        const std::string value = takesValue ? arguments[++i] : std::string();
        if (option == "--check-lease" || option == "--interface")
        {
            if (!command.interfaceName.empty())
                return "give one interface to --check-lease";
            if (value.empty())
                return "--check-lease needs an interface name";
            command.interfaceName = value;
        }
        else if (option == "-4" || option == "-6")
        {
            const unsigned family =
                option == "-4" ? unsigned{kCensusDhcpv4} : unsigned{kCensusDhcpv6};
            if (narrowed != 0 && narrowed != family)
                return "choose one of -4 and -6 (neither checks both leases)";
            narrowed = family;
            command.families = family;
        }
        else if (option == "-w" || option == "-c")
        {
            if (!ParseHours(value, option == "-w" ? command.warning : command.critical))
                return option + " takes the hours a lease has left, 1 to " +
                       std::to_string(kMaxHours);
        }
        else if (option == "--wait")
        {
            if (!ParseWait(value, command.wait))
                return "--wait takes seconds, more than 0 and at most 600";
        }
        else
        {
            return "--check-lease does not take " + option;
        }
    }
    if (command.interfaceName.empty())
        return "--check-lease needs an interface";
    if (command.warning && command.critical && *command.warning < *command.critical)
        return "-w is below -c: a lease is warned of before it is critical";
    return std::string();
}

DiscoverOutcome RunLeaseCheck(const LeaseCheckCommand& command, const DiscoverBackEnd& backEnd)
{
    // The census first: its socket open, it gives up the privileges that
    // took, so the lease sources are read without them.
    CensusResult result;
    CensusSettings settings;
    settings.interfaceName = command.interfaceName;
    settings.wait = command.wait;
    settings.families = command.families;
    const int censusError = backEnd.census(settings, result);
    const InterfaceLeases leases = backEnd.leases(command.interfaceName);
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(backEnd.now().time_since_epoch()).count();
    const std::string on = " on " + TerminalSafe(command.interfaceName);
    const bool narrowed = command.families != (kCensusDhcpv4 | kCensusDhcpv6);

    std::vector<HeldLease> held;
    Problems problems;
    std::vector<std::string> good;
    unsigned ask = 0;
    unsigned missing = 0; // the families asked without a lease
    for (HeldLease lease : {Dhcpv4Lease(leases), Dhcpv6Lease(leases)})
    {
        if ((command.families & lease.family) == 0)
            continue;
        if (lease.error == ENODEV)
            problems.Add(kCheckUnknown, ProblemLine(NoSuchAdapterText(command.interfaceName)));
        else if (lease.error == ENODATA || lease.error == ENOENT)
        {
            missing |= lease.family;
            if (narrowed)
                problems.Add(kCheckCritical, "no " + std::string(lease.name) + " lease" + on);
        }
        else if (lease.error != 0)
            problems.Add(kCheckUnknown, "cannot read the " + std::string(lease.name) + " lease" +
                                            on + ": " + ErrnoText(lease.error));
        else
        {
            if (lease.server.empty())
                problems.Add(kCheckUnknown,
                             "the " + std::string(lease.name) + " lease" + on + " names no server");
            else
                ask |= lease.family;
            held.push_back(lease);
        }
    }
    if (!narrowed && missing == command.families)
        problems.Add(kCheckCritical, "no DHCP lease" + on);

    PluginOutput output;
    output.service = "DHCP LEASE";
    if (ask != 0 && censusError != 0)
        problems.Add(
            kCheckUnknown,
            ProblemLine(CensusFailure(censusError, command.interfaceName).err, "--check-lease"));
    const auto hoursThreshold = [](const std::optional<std::chrono::hours>& hours)
    { return hours ? std::to_string(hours->count()) + ":" : std::string(); };
    for (const HeldLease& lease : held)
    {
        const std::string name = std::string(lease.name) + " lease" + on;
        std::optional<double> hoursLeft;
        if (lease.expires)
        {
            const double left = static_cast<double>(*lease.expires - now) / 3600.0;
            hoursLeft = left;
            const auto below = [&](const std::optional<std::chrono::hours>& limit)
            { return limit && left < static_cast<double>(limit->count()); };
            if (left <= 0)
                problems.Add(kCheckCritical,
                             "the " + name + " expired " + HoursText(-left) + " ago");
            else if (below(command.critical) || below(command.warning))
            {
                const bool critical = below(command.critical);
                problems.Add(critical ? kCheckCritical : kCheckWarning,
                             "the " + name + " ends in " + HoursText(left) + " (" +
                                 (critical ? "-c " + std::to_string(command.critical->count())
                                           : "-w " + std::to_string(command.warning->count())) +
                                 " h)");
            }
        }
        else if (!lease.endless && (command.warning || command.critical))
            problems.Add(kCheckUnknown, "the end of the " + name + " is not known");
        std::string state = lease.endless ? "no end"
                            : hoursLeft   ? HoursText(*hoursLeft) + " left"
                                          : "its end not known";
        output.perfData.push_back({std::string(lease.prefix) + "_lease_hours",
                                   hoursLeft,
                                   "",
                                   hoursThreshold(command.warning),
                                   hoursThreshold(command.critical),
                                   {},
                                   {}});
        if ((ask & lease.family) != 0 && censusError == 0)
        {
            output.perfData.push_back({std::string(lease.prefix) + "_servers",
                                       static_cast<double>(Responders(lease, result)),
                                       "",
                                       "",
                                       "",
                                       0.0,
                                       {}});
            if (Answered(lease, result))
                state += ", server " + lease.serverName + " answers";
            else
                problems.Add(kCheckCritical, std::string(lease.name) + " server " +
                                                 lease.serverName + " of the lease" + on +
                                                 " did not answer within " +
                                                 WaitText(command.wait));
        }
        good.push_back(name + ": " + state);
    }
    problems.Into(output);
    if (output.status == kCheckOk)
    {
        for (const std::string& line : good)
            output.summary += (output.summary.empty() ? "" : "; ") + line;
    }
    else
        output.details.insert(output.details.end(), good.begin(), good.end());
    return {FormatPluginOutput(output), std::string(), output.status};
}
