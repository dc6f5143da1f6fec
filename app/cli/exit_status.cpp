#include "app/cli/exit_status.h"

#include "app/cli/text_columns.h"
#include "linux/errno_text.h"

#include <cerrno>

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

std::string SystemText(int error)
{
    return ErrnoText(error);
}

ExitStatus ExitStatusFor(int error)
{
    const FailureRow* row = RowFor(error);
    return row != nullptr ? row->status : kExitFailed;
}

std::string RequestFailureText(int error, const std::string& adapter, bool inform)
{
    std::string text = "DHCP Error " + std::to_string(error) + ": " + ErrnoText(error) + "\n";
    const FailureRow* row = RowFor(error);
    if (row != nullptr && row->noLease)
        text += "veyra: no DHCP lease found for " + TerminalSafe(adapter) +
                (inform ? "\n" : "; --inform asks the DHCP server itself\n");
    return text;
}

std::string UnaskedText(int error, const std::string& adapter)
{
    std::string reason;
    if (error == ENOENT)
        reason = TerminalSafe(adapter) + " has no IPv4 address to ask from";
    else if (error == EPERM || error == EACCES)
        reason = ErrnoText(error) + ": it needs root or CAP_NET_RAW";
    else if (error == ETIMEDOUT)
        reason = "no answer: " + ErrnoText(error);
    else
        reason = ErrnoText(error);
    return "veyra: could not ask the DHCP server: " + reason + "\n";
}

std::string NoSuchAdapterText(const std::string& argument)
{
    return "No Interfaces Present\nveyra: no network adapter is named " + TerminalSafe(argument) +
           " or has that hardware address\n";
}
