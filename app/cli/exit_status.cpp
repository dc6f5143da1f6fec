#include "app/cli/exit_status.h"

#include "app/cli/text_columns.h"
#include "linux/errno_text.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace
{
struct FailureRow
{
    int error;
    ExitStatus status;
    bool noLease; // the text adds where else a lease may come from
};

// Every errno value not listed here exits with kExitFailed.
constexpr FailureRow kFailures[] = {
    {ENODEV, kExitNoAdapter, false},
    {EACCES, kExitNoPermission, false},
    {EPERM, kExitNoPermission, false},
    {ENODATA, kExitNoLease, true},
};

const FailureRow* RowFor(int error)
{
    for (const FailureRow& row : kFailures)
    {
        if (row.error == error)
            return &row;
    }
    return nullptr;
}
} // namespace

ExitStatus ExitStatusFor(int error)
{
    const FailureRow* row = RowFor(error);
    return row != nullptr ? row->status : kExitFailed;
}

namespace
{
std::string FailureText(const char* protocol, int error, const std::string& adapter, bool inform)
{
    std::string text =
        protocol + std::string(" Error ") + std::to_string(error) + ": " + ErrnoText(error) + "\n";
    const FailureRow* row = RowFor(error);
    if (row != nullptr && row->noLease)
        text +=
            "veyra: no " + std::string(protocol) + " lease found for " + TerminalSafe(adapter) +
            (inform ? "\n" : "; --inform asks the " + std::string(protocol) + " server itself\n");
    return text;
}

std::string UnaskedFor(const char* servers, const char* address, int error,
                       const std::string& adapter)
{
    std::string reason;
    if (error == ENOENT)
        reason = TerminalSafe(adapter) + " has no " + address + " to ask from";
    else if (error == EPERM || error == EACCES)
        reason = ErrnoText(error) + ": it needs root or CAP_NET_RAW";
    else if (error == ETIMEDOUT)
        reason = "no answer: " + ErrnoText(error);
    else
        reason = ErrnoText(error);
    return "veyra: could not ask the " + std::string(servers) + ": " + reason + "\n";
}
} // namespace

ExitStatus RequestStatus(const std::optional<FamilyOutcome>& ipv4,
                         const std::optional<FamilyOutcome>& ipv6)
{
    std::vector<FamilyOutcome> shown;
    for (const auto& family : {ipv4, ipv6})
    {
        if (family)
            shown.push_back(*family);
    }
    if (std::none_of(shown.begin(), shown.end(),
                     [](const FamilyOutcome& family) { return family.lease == 0; }))
        return shown.empty() ? kExitDone : ExitStatusFor(shown.front().lease);
    for (const FamilyOutcome& family : shown)
    {
        if (family.unasked != 0)
            return ExitStatusFor(family.unasked);
    }
    return kExitDone;
}

std::string RequestFailureText(int error, const std::string& adapter, bool inform)
{
    return FailureText("DHCP", error, adapter, inform);
}

std::string Lease6FailureText(int error, const std::string& adapter, bool inform)
{
    return FailureText("DHCPv6", error, adapter, inform);
}

std::string UnaskedText(int error, const std::string& adapter)
{
    return UnaskedFor("DHCP server", "IPv4 address", error, adapter);
}

std::string Unasked6Text(int error, const std::string& adapter)
{
    return UnaskedFor("DHCPv6 servers", "IPv6 link-local address", error, adapter);
}

std::string NoSuchAdapterText(const std::string& argument)
{
    return "No Interfaces Present\nveyra: no network adapter is named " + TerminalSafe(argument) +
           " or has that hardware address\n";
}
