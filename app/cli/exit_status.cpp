#include "app/cli/exit_status.h"

#include "app/cli/text_columns.h"
#include "platform/system_error_text.h"

#include <cerrno>

namespace
{
struct FailureRow
{
    int m_nError;
    ExitStatus m_status;
    bool m_bNoLease; // the text adds where else a lease may come from
};

// Every errno value not listed here exits with kExitFailed.
constexpr FailureRow kFailures[] = {
    {ENODEV, kExitNoAdapter, false},
    {EACCES, kExitNoPermission, false},
    {EPERM, kExitNoPermission, false},
    {ENODATA, kExitNoLease, true},
};

const FailureRow* RowFor(int nError)
{
    for (const FailureRow& row : kFailures)
    {
        if (row.m_nError == nError)
            return &row;
    }
    return nullptr;
}
} // namespace

std::string SystemText(int nError)
{
    CString strSystemText;
    DWORD dwLookupError = 0;
    if (LookupSystemErrorText(static_cast<DWORD>(nError), strSystemText, dwLookupError))
        return std::string(strSystemText);
    return "error " + std::to_string(nError);
}

ExitStatus ExitStatusFor(int nError)
{
    const FailureRow* pRow = RowFor(nError);
    return pRow != nullptr ? pRow->m_status : kExitFailed;
}

std::string RequestFailureText(int nError, const std::string& strAdapter, bool bInform)
{
    CString strSystemText;
    DWORD dwLookupError = 0;
    std::string strText =
        LookupSystemErrorText(static_cast<DWORD>(nError), strSystemText, dwLookupError)
            ? "DHCP Error " + std::to_string(nError) + ": " + strSystemText + "\n"
            : "DHCP Error: " + std::to_string(nError) +
                  " GetLastError: " + std::to_string(dwLookupError) + "\n";
    const FailureRow* pRow = RowFor(nError);
    if (pRow != nullptr && pRow->m_bNoLease)
        strText += "veyra: no DHCP lease found for " + TerminalSafe(strAdapter) +
                   (bInform ? "\n" : "; --inform asks the DHCP server itself\n");
    return strText;
}

std::string UnaskedText(int nError, const std::string& strAdapter)
{
    std::string strReason;
    if (nError == ENOENT)
        strReason = TerminalSafe(strAdapter) + " has no IPv4 address to ask from";
    else if (nError == EPERM || nError == EACCES)
        strReason = SystemText(nError) + ": it needs root or CAP_NET_RAW";
    else if (nError == ETIMEDOUT)
        strReason = "no answer (" + SystemText(nError) + ")";
    else
        strReason = SystemText(nError);
    return "veyra: could not ask the DHCP server: " + strReason + "\n";
}

std::string NoSuchAdapterText(const std::string& strArgument)
{
    return "No Interfaces Present\nveyra: no network adapter is named " +
           TerminalSafe(strArgument) + " or has that hardware address\n";
}
