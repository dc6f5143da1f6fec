// veyra: the DHCP options of a Linux machine's network adapters, from the same
// decoding and list-text code as the window program.
#include "app/cli/adapter_lease.h"
#include "app/cli/all_options_output.h"
#include "app/cli/command_line.h"
#include "app/cli/exit_status.h"
#include "app/cli/result_output.h"
#include "app/cli/text_columns.h"
#include "core/model/requested_options.h"
#include "linux/adapter_source.h"
#include "linux/dhcp_discover.h"
#include "linux/linux_lease_sources.h"

#include <cstdio>
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
    if (command.m_format == OutputFormat::Tsv)
        PrintData(FormatAllTsv(lease));
    else if (command.m_format == OutputFormat::Json)
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
        Print(RequestFailureText(nError, strAdapter, command.m_bInform), stderr);
        return ExitStatusFor(nError);
    }
    const int nStatus = nUnasked != 0 ? ExitStatusFor(nUnasked) : kExitDone;
    if (command.m_bAll)
    {
        PrintAll(command, strAdapter, lease);
        return nStatus;
    }
    Print(LeaseNotesText(lease), stderr);
    switch (command.m_format)
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
} // namespace

int main(int argc, char* argv[])
{
    UseTheLocalesCharset();
    const CommandLine command = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (command.m_bHelp)
    {
        Print(kUsageText);
        return kExitDone;
    }
    if (command.m_bVersion)
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
            RunDiscover(command.m_discover, {DiscoverDhcpServers, RandomLocalMac},
                        [](const std::string& strProgress) { Print(strProgress, stderr); });
        Print(outcome.m_strOut);
        Print(outcome.m_strErr, stderr);
        return outcome.m_nStatus;
    }

    const LinuxPaths paths;
    const std::unique_ptr<CRunLeaseSources> pLeases = MakeLinuxLeaseSources(paths);
    CLinuxAdapterSource source(paths, pLeases->Kept());
    AdapterList adapters;
    source.Read(adapters);

    if (command.m_strAdapter.empty() && command.m_format == OutputFormat::Json)
    {
        if (adapters.empty())
            Print(FormatAdapters(adapters), stderr);
        Print(FormatAdaptersJson(adapters));
        return adapters.empty() ? kExitNoAdapter : kExitDone;
    }
    if (command.m_strAdapter.empty())
    {
        Print(FormatAdapters(adapters), adapters.empty() ? stderr : stdout);
        return adapters.empty() ? kExitNoAdapter : kExitDone;
    }
    const std::string strAdapter = AdapterNamed(adapters, command.m_strAdapter);
    if (strAdapter.empty())
    {
        Print(NoSuchAdapterText(command.m_strAdapter), stderr);
        return kExitNoAdapter;
    }
    return Request(command, source, pLeases->Request(command.m_bInform), strAdapter);
}
