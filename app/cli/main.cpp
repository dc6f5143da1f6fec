// veyra: the DHCP options of a Linux machine's network adapters, from the same
// decoding and list-text code as the window program.
#include "app/cli/all_options_output.h"
#include "app/cli/command_line.h"
#include "app/cli/exit_status.h"
#include "app/cli/result_output.h"
#include "app/cli/text_columns.h"
#include "core/model/requested_options.h"
#include "linux/adapter_lease.h"
#include "linux/adapter_source.h"
#include "linux/answered_lease_source.h"
#include "linux/dhcp_discover.h"
#include "linux/lease_chain.h"
#include "linux/linux_lease_sources.h"
#include "linux/privileges.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace
{
void Print(const std::string& strText, std::FILE* pStream = stdout)
{
    std::fwrite(strText.data(), 1, strText.size(), pStream);
}

// Data forms that keep every byte for a file or a pipe; a terminal is shown
// their control bytes escaped instead of obeying them.
void PrintData(const std::string& strText)
{
    Print(isatty(STDOUT_FILENO) ? TerminalSafeLines(strText) : strText);
}

// Every option of the lease, as rows, TSV or JSON (the command line refuses
// --all with --copy-all).
int PrintAll(const CommandLine& command, const std::string& strAdapter, const Lease& lease)
{
    if (command.format == OutputFormat::Tsv)
        PrintData(FormatAllTsv(lease));
    else if (command.format == OutputFormat::Json)
        Print(FormatAllJson(strAdapter, lease));
    else
        Print(FormatAllRows(lease));
    return kExitDone;
}

int Request(const CommandLine& command, const CLinuxAdapterSource& adapters, CLeaseSource& leases,
            const std::string& strAdapter)
{
    // Announced before the sources are read: asking the server takes seconds.
    Print("Getting DHCP Options on Adapter [" + TerminalSafe(strAdapter) + "]\n", stderr);
    Lease lease;
    const int nError = ReadAdapterLease(adapters.Interface(strAdapter), leases, lease);
    // The other sources' rows are still shown, but the request failed.
    const int nUnasked = InformAnswer(lease);
    if (nUnasked != 0)
        Print(UnaskedText(nUnasked, strAdapter), stderr);
    if (nError != 0)
    {
        Print(RequestFailureText(nError, strAdapter, command.inform), stderr);
        return ExitStatusFor(nError);
    }
    const int nStatus = nUnasked != 0 ? ExitStatusFor(nUnasked) : kExitDone;
    if (command.all)
    {
        PrintAll(command, strAdapter, lease);
        return nStatus;
    }
    Print(LeaseNotesText(lease), stderr);
    switch (command.format)
    {
    case OutputFormat::Rows:
        Print(FormatRows(DecodeRequestedOptions(lease.m_mapOptions)));
        break;
    case OutputFormat::Tsv:
        PrintData(FormatTsv(DecodeRequestedOptions(lease.m_mapOptions)));
        break;
    case OutputFormat::CopyAll:
        Print((isatty(STDOUT_FILENO) ? FormatCopyAllShown
                                     : FormatCopyAll)(DecodeRequestedOptions(lease.m_mapOptions)));
        break;
    case OutputFormat::Json:
        Print(FormatJson(lease));
        break;
    }
    return nStatus;
}

// Run set-user-ID or with file capabilities, veyra keeps them only until its
// socket is open; a run that cannot give them up reads nothing more.
void DropPrivilegesOrEnd()
{
    if (const int nError = DropPrivileges())
    {
        Print(std::string("veyra: cannot give up privileges: ") + std::strerror(nError) + "\n",
              stderr);
        std::exit(kExitFailed);
    }
}

// The discovery's own, which drops the privileges as soon as its socket is open.
int DiscoverDroppingPrivileges(const DiscoverySettings& settings, DiscoveryResult& result)
{
    DiscoverySettings dropping = settings;
    dropping.m_fnOpened = [fnOpened = settings.m_fnOpened]()
    {
        if (const int nError = DropPrivileges())
            return nError;
        return fnOpened ? fnOpened() : 0;
    };
    const int nResult = DiscoverDhcpServers(dropping, result);
    DropPrivilegesOrEnd();
    return nResult;
}

// --inform asks the server before any lease is read: the adapter is found
// without them, and its socket open, the privileges go.
std::unique_ptr<CLeaseSource> AskFirst(const LinuxPaths& paths, const std::string& strArgument)
{
    CLeaseChain noLeases({});
    CLinuxAdapterSource source(paths, noLeases);
    AdapterList adapters;
    source.Read(adapters);
    const std::optional<LeaseInterface> iface =
        source.Interface(AdapterNamed(adapters, strArgument));
    InformSettings settings;
    settings.m_fnOpened = DropPrivileges;
    Lease lease;
    const int nResult = iface ? MakeInformLeaseSource(settings)->Read(*iface, lease) : ENODEV;
    DropPrivilegesOrEnd();
    return std::make_unique<CAnsweredLeaseSource>(nResult, std::move(lease));
}
} // namespace

int main(int argc, char* argv[])
{
    UseTheLocalesCharset();
    const CommandLine command = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    // Only a run that opens a socket keeps its privileges until then.
    const bool bRuns = command.m_strError.empty() && !command.help && !command.version;
    const bool bAsk = bRuns && !command.m_bDiscover && command.inform && !command.adapter.empty();
    if (!bAsk && !(bRuns && command.m_bDiscover))
        DropPrivilegesOrEnd();
    if (command.help)
    {
        Print(kUsageText);
        return kExitDone;
    }
    if (command.version)
    {
        Print("veyra " VEYRA_VERSION "\n");
        return kExitDone;
    }
    if (!command.m_strError.empty())
    {
        Print("veyra: " + command.m_strError + "\n" + kUsageText, stderr);
        return kExitUsage;
    }
    if (command.m_bDiscover)
    {
        const DiscoverOutcome outcome =
            RunDiscover(command.m_discover, {DiscoverDroppingPrivileges, RandomLocalMac},
                        [](const std::string& strProgress) { Print(strProgress, stderr); });
        Print(outcome.m_strOut);
        Print(outcome.m_strErr, stderr);
        return outcome.m_nStatus;
    }

    const LinuxPaths paths;
    const std::unique_ptr<CRunLeaseSources> pLeases =
        bAsk ? MakeLinuxLeaseSources(paths, AskFirst(paths, command.adapter))
             : MakeLinuxLeaseSources(paths);
    CLinuxAdapterSource source(paths, pLeases->Kept());
    AdapterList adapters;
    source.Read(adapters);

    if (command.adapter.empty() && command.format == OutputFormat::Json)
    {
        if (adapters.empty())
            Print(FormatAdapters(adapters), stderr);
        Print(FormatAdaptersJson(adapters));
        return adapters.empty() ? kExitNoAdapter : kExitDone;
    }
    if (command.adapter.empty())
    {
        Print(FormatAdapters(adapters), adapters.empty() ? stderr : stdout);
        return adapters.empty() ? kExitNoAdapter : kExitDone;
    }
    const std::string strAdapter = AdapterNamed(adapters, command.adapter);
    if (strAdapter.empty())
    {
        Print(NoSuchAdapterText(command.adapter), stderr);
        return kExitNoAdapter;
    }
    return Request(command, source, pLeases->Request(command.inform), strAdapter);
}
