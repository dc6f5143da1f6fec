#include "app/cli/discover_command.h"

#include "app/cli/discover_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/text_columns.h"
#include "platform/bounded_file.h"

#include <cctype>
#include <cerrno>
#include <unistd.h>

namespace
{
// Long enough for any server on any link; a discovery is a moment's check.
constexpr std::chrono::milliseconds kMaxWait(600000);

bool ParseWait(const std::string& strText, std::chrono::milliseconds& wait)
{
    // Seconds with up to three decimals: "3", "0.5", "1.25".
    std::int64_t nMs = 0;
    std::size_t nAt = 0;
    for (; nAt < strText.size() && std::isdigit(static_cast<unsigned char>(strText[nAt])); ++nAt)
    {
        nMs = nMs * 10 + (strText[nAt] - '0');
        if (nMs > kMaxWait.count())
            return false;
    }
    if (nAt == 0)
        return false;
    nMs *= 1000;
    if (nAt < strText.size() && strText[nAt] == '.')
    {
        std::int64_t nScale = 100;
        for (++nAt; nAt < strText.size() && nScale > 0 &&
                    std::isdigit(static_cast<unsigned char>(strText[nAt]));
             ++nAt, nScale /= 10)
            nMs += (strText[nAt] - '0') * nScale;
    }
    if (nAt != strText.size() || nMs == 0 || nMs > kMaxWait.count())
        return false;
    wait = std::chrono::milliseconds(nMs);
    return true;
}

DiscoverOutcome Failure(int nError, const std::string& strInterface)
{
    DiscoverOutcome outcome;
    switch (nError)
    {
    case EPERM:
    case EACCES:
        outcome.m_strErr = "veyra: --discover needs root or CAP_NET_RAW\n";
        outcome.m_nStatus = kExitNoPermission;
        break;
    case ENODEV:
        outcome.m_strErr = NoSuchAdapterText(strInterface);
        outcome.m_nStatus = kExitNoAdapter;
        break;
    case ENOENT:
        outcome.m_strErr =
            "veyra: " + TerminalSafe(strInterface) + " is not an Ethernet interface\n";
        outcome.m_nStatus = kExitFailed;
        break;
    default:
        outcome.m_strErr = "veyra: discovery on " + TerminalSafe(strInterface) +
                           " failed: " + SystemText(nError) + "\n";
        outcome.m_nStatus = kExitFailed;
        break;
    }
    return outcome;
}

DiscoverOutcome UsageFailure(const std::string& strMessage)
{
    DiscoverOutcome outcome;
    outcome.m_strErr = "veyra: " + strMessage + "\n";
    outcome.m_nStatus = kExitUsage;
    return outcome;
}

// Appends the approved servers of each file; empty, or what is wrong. A link
// is refused: veyra may run as root.
std::string ReadExpectFiles(const std::vector<std::string>& files,
                            std::vector<ApprovedServer>& approved)
{
    for (const std::string& strFile : files)
    {
        std::string strText;
        const int nError =
            ReadBoundedFile(strFile, kMaxApprovedBytes, SymbolicLinks::Refuse, strText);
        if (nError != 0)
            return "cannot read --expect-file " + TerminalSafe(strFile) + ": " + SystemText(nError);
        const std::size_t nBefore = approved.size();
        if (const std::size_t nLine = ParseApprovedServers(strText, approved))
            return TerminalSafe(strFile) + ":" + std::to_string(nLine) +
                   (approved.size() - nBefore == kMaxApprovedServers
                        ? ": more than " + std::to_string(kMaxApprovedServers) + " entries"
                        : std::string(": not a server identifier or ID@MAC"));
    }
    return std::string();
}

// "Discovering DHCP servers on eth0: 2.4 s left, 1 offer so far", written
// over itself at most once a tenth of a second.
class ProgressLine
{
public:
    ProgressLine(const std::string& interfaceName,
                 const std::function<void(const std::string&)>& write)
        : m_prefix("Discovering DHCP servers on " + TerminalSafe(interfaceName) + ": "),
          m_write(write)
    {
    }

    void Show(const ServerDiscovery& discovery, std::chrono::steady_clock::duration left)
    {
        const auto tenths = std::chrono::ceil<std::chrono::milliseconds>(left).count() / 100;
        if (tenths == m_tenthsShown)
            return;
        m_tenthsShown = tenths;
        const std::size_t offers = discovery.Counts().offers;
        m_write("\r" + m_prefix + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) +
                " s left, " + std::to_string(offers) + (offers == 1 ? " offer" : " offers") +
                " so far" + kClearToEnd);
    }

    void Clear() { m_write(std::string("\r") + kClearToEnd); }

private:
    static constexpr const char* kClearToEnd = "\x1b[K";
    std::string m_prefix;
    std::function<void(const std::string&)> m_write;
    std::int64_t m_tenthsShown = -1;
};

void FlagUnexpected(DiscoveryResult& result, const std::vector<ApprovedServer>& approved)
{
    if (approved.empty())
        return;
    for (DiscoveredServer& server : result.m_servers)
    {
        if (!IsApproved(server, approved))
            server.flags |= kServerUnexpected;
    }
}
} // namespace

bool StandardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

std::string ParseDiscoverCommand(const std::vector<std::string>& arguments,
                                 DiscoverCommand& command)
{
    command = DiscoverCommand();
    bool bInterfaceGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& strOption = arguments[i];
        const bool bTakesValue = strOption == "--discover" || strOption == "--wait" ||
                                 strOption == "--client-mac" || strOption == "--expect" ||
                                 strOption == "--expect-file";
        if (bTakesValue && i + 1 == arguments.size())
            return strOption + " needs a value";
        const std::string strValue = bTakesValue ? arguments[++i] : std::string();
        if (strOption == "--discover")
        {
            if (bInterfaceGiven)
                return "give one interface to --discover";
            if (strValue.empty())
                return "--discover needs an interface name";
            command.m_strInterface = strValue;
            bInterfaceGiven = true;
        }
        else if (strOption == "--wait")
        {
            if (!ParseWait(strValue, command.m_wait))
                return "--wait takes seconds, more than 0 and at most 600";
        }
        else if (strOption == "--client-mac")
        {
            HardwareAddress address{};
            if (strValue == "random")
                command.m_bRandomClientMac = true;
            else if (!ParseMacText(strValue, address) || !IsLocallyAdministeredUnicast(address))
                return "--client-mac takes \"random\" or a locally administered unicast address "
                       "(second hex digit 2, 6, A or E), so that no device's lease is asked for";
            else
                command.m_ClientMac = address;
        }
        else if (strOption == "--expect")
        {
            const std::optional<ApprovedServer> server = ParseApprovedServer(strValue);
            if (!server)
                return "--expect takes a server identifier (an IPv4 address), or ID@MAC";
            command.m_approved.push_back(*server);
        }
        else if (strOption == "--expect-file")
        {
            if (strValue.empty())
                return "--expect-file needs a file name";
            command.m_expectFiles.push_back(strValue);
        }
        else if (strOption == "--all")
        {
            command.m_bAll = true;
        }
        else if (strOption == "--json")
        {
            command.m_bJson = true;
        }
        else
        {
            return "--discover does not take " + strOption;
        }
    }
    return std::string();
}

DiscoverOutcome RunDiscover(const DiscoverCommand& command, const DiscoverBackEnd& backEnd,
                            const std::function<void(const std::string&)>& fnProgress)
{
    std::vector<ApprovedServer> approved = command.m_approved;
    const std::string strListError = ReadExpectFiles(command.m_expectFiles, approved);
    if (!strListError.empty())
        return UsageFailure(strListError);

    DiscoverySettings settings;
    settings.m_strInterface = command.m_strInterface;
    settings.m_wait = command.m_wait;
    settings.m_ClientMac = command.m_ClientMac;
    if (command.m_bRandomClientMac)
    {
        HardwareAddress address{};
        if (const int nError = backEnd.m_fnRandomMac(address))
            return Failure(nError, command.m_strInterface);
        settings.m_ClientMac = address;
    }

    const bool bTerminal = backEnd.m_fnErrorIsTerminal && backEnd.m_fnErrorIsTerminal();
    ProgressLine progress(command.m_strInterface, fnProgress);
    if (bTerminal)
        settings.m_fnProgress =
            [&progress](const ServerDiscovery& discovery, std::chrono::steady_clock::duration left)
        { progress.Show(discovery, left); };
    else
        fnProgress("Discovering DHCP servers on " + TerminalSafe(command.m_strInterface) + " for " +
                   WaitText(command.m_wait) + "...\n");
    DiscoveryResult result;
    const int nError = backEnd.m_fnDiscover(settings, result);
    if (bTerminal)
        progress.Clear();
    if (nError != 0)
        return Failure(nError, command.m_strInterface);

    FlagUnexpected(result, approved);
    DiscoverOutcome outcome;
    outcome.m_strOut = command.m_bJson ? FormatDiscoveryJson(command.m_strInterface, command.m_wait,
                                                             result, command.m_bAll)
                                       : FormatDiscoveryText(result, command.m_bAll);
    const DiscoveryVerdict verdict =
        JudgeDiscovery(command.m_strInterface, command.m_wait, result, approved);
    outcome.m_strErr = verdict.m_strMessage + DiscoveryCountsText(result);
    outcome.m_nStatus = verdict.m_nStatus;
    return outcome;
}
