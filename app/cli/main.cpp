// veyra: the DHCP options of a Linux machine's network adapters, from the same
// decoding and list-text code as the window program.
#include "app/cli/all_options_output.h"
#include "app/cli/check_output.h"
#include "app/cli/command_line.h"
#include "app/cli/exit_status.h"
#include "app/cli/ipv6_output.h"
#include "app/cli/result_output.h"
#include "app/cli/text_columns.h"
#include "core/model/requested_options.h"
#include "linux/adapter_lease.h"
#include "linux/adapter_source.h"
#include "linux/answered_lease_source.h"
#include "linux/dhcp_census.h"
#include "linux/dhcp_handshake.h"
#include "linux/dhcpv6_inform.h"
#include "linux/lease6_sources.h"
#include "linux/lease_chain.h"
#include "linux/linux_lease_sources.h"
#include "linux/privileges.h"
#include "linux/replace_file.h"
#include "linux/router_advertisements_source.h"

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

// What --inform asked before any lease was read.
struct Asked
{
    std::unique_ptr<CLeaseSource> ipv4; // the DHCPINFORM's answer; null when not asked
    bool ipv6 = false;
    int inform6Error = 0;
    Lease6 inform6;
};

// The parts of a request that are shown: null for a family not shown.
struct Shown
{
    const Lease* ipv4 = nullptr;
    const Ipv6Part* ipv6 = nullptr;
};

// Every option of the leases, as rows, TSV or JSON (the command line refuses
// --all with --copy-all).
void PrintAll(const CommandLine& command, const std::string& strAdapter, const Shown& shown)
{
    const Lease none;
    const Lease& lease = shown.ipv4 != nullptr ? *shown.ipv4 : none;
    if (command.format == OutputFormat::Json)
    {
        Print(FormatAllJson(strAdapter, lease, shown.ipv6));
        return;
    }
    if (command.format == OutputFormat::Tsv)
    {
        PrintData(FormatAllTsv(lease) + (shown.ipv6 ? FormatAllIpv6Tsv(*shown.ipv6) : ""));
        return;
    }
    if (shown.ipv4 != nullptr)
        Print(FormatAllRows(lease) + (shown.ipv6 ? "\n" : ""));
    if (shown.ipv6 != nullptr)
        Print(FormatAllIpv6Rows(*shown.ipv6));
}

// The window's rows of both families in the form asked for.
void PrintRows(const CommandLine& command, const Shown& shown)
{
    const DhcpOptionList options =
        shown.ipv4 != nullptr ? DecodeRequestedOptions(shown.ipv4->m_mapOptions) : DhcpOptionList();
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    switch (command.format)
    {
    case OutputFormat::Rows:
        if (shown.ipv4 != nullptr)
            Print(FormatRows(options) + (shown.ipv6 ? "\n" : ""));
        if (shown.ipv6 != nullptr)
            Print(FormatIpv6Rows(*shown.ipv6));
        break;
    case OutputFormat::Tsv:
        PrintData(FormatTsv(options) + (shown.ipv6 ? FormatIpv6Tsv(*shown.ipv6) : ""));
        break;
    case OutputFormat::CopyAll:
        if (shown.ipv4 != nullptr)
            Print((terminal ? FormatCopyAllShown : FormatCopyAll)(options));
        if (shown.ipv6 != nullptr)
            Print((terminal ? FormatIpv6CopyAllShown : FormatIpv6CopyAll)(*shown.ipv6));
        break;
    case OutputFormat::Json:
        Print(FormatJson(shown.ipv4, shown.ipv6));
        break;
    }
}

// The IPv6 side of the adapter: its DHCPv6 lease, the Information-request's
// answer where --inform asked, and what router advertisements taught it.
Ipv6Part ReadIpv6(const LinuxPaths& paths, const std::optional<LeaseInterface>& iface, Asked& asked)
{
    Ipv6Part part;
    part.leaseError = ReadAdapterLease6(iface, *MakeLinuxLease6Sources(paths), part.lease);
    part.routersError = iface ? ReadRouterAdvertisements(paths, *iface, part.routers) : ENODEV;
    part.informAsked = asked.ipv6;
    part.informError = asked.inform6Error;
    part.inform = std::move(asked.inform6);
    part.inform.source = "inform";
    return part;
}

int Request(const CommandLine& command, const LinuxPaths& paths,
            const CLinuxAdapterSource& adapters, CLeaseSource& leases,
            const std::string& strAdapter, Asked& asked)
{
    // Announced before the sources are read: asking the server takes seconds.
    Print("Getting DHCP Options on Adapter [" + TerminalSafe(strAdapter) + "]\n", stderr);
    const std::optional<LeaseInterface> iface = adapters.Interface(strAdapter);
    std::optional<FamilyOutcome> ipv4;
    std::optional<FamilyOutcome> ipv6;
    Lease lease;
    if (command.families != AddressFamilies::Ipv6)
    {
        ipv4 = FamilyOutcome{ReadAdapterLease(iface, leases, lease), InformAnswer(lease)};
        // The other sources' rows are still shown, but the request failed.
        if (ipv4->unasked != 0)
            Print(UnaskedText(ipv4->unasked, strAdapter), stderr);
        if (ipv4->lease != 0)
            Print(RequestFailureText(ipv4->lease, strAdapter, command.inform), stderr);
    }
    Ipv6Part part;
    Shown shown;
    if (ipv4 && ipv4->lease == 0)
        shown.ipv4 = &lease;
    if (command.families != AddressFamilies::Ipv4)
    {
        part = ReadIpv6(paths, iface, asked);
        // Beside IPv4, IPv6 is shown where there is any, and neither a
        // missing DHCPv6 lease nor an unanswered question fails the request.
        const bool alone = command.families == AddressFamilies::Ipv6;
        const bool answered = part.informAsked && part.informError == 0;
        ipv6 = FamilyOutcome{answered ? 0 : part.leaseError,
                             alone && part.informAsked ? part.informError : 0};
        if (alone || HasIpv6Findings(part))
            shown.ipv6 = &part;
        if (shown.ipv6 != nullptr && part.informAsked && part.informError != 0)
            Print(Unasked6Text(part.informError, strAdapter), stderr);
        if (ipv6->lease != 0 && (alone || (shown.ipv6 != nullptr && ipv6->lease != ENODATA)))
            Print(Lease6FailureText(ipv6->lease, strAdapter, command.inform), stderr);
    }
    if (shown.ipv4 != nullptr && !command.all)
        Print(LeaseNotesText(lease), stderr);
    if (shown.ipv4 == nullptr && shown.ipv6 == nullptr)
        return RequestStatus(ipv4, ipv6);
    if (command.all)
        PrintAll(command, strAdapter, shown);
    else
        PrintRows(command, shown);
    return RequestStatus(ipv4, ipv6);
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

// The census, which drops the privileges as soon as its socket is open.
int CensusDroppingPrivileges(const CensusSettings& settings, CensusResult& result)
{
    CensusSettings dropping = settings;
    dropping.opened = [opened = settings.opened](const CensusPlan& plan)
    {
        if (const int error = DropPrivileges())
            return error;
        return opened ? opened(plan) : 0;
    };
    const int error = RunCensus(dropping, result);
    DropPrivilegesOrEnd();
    return error;
}

// The leases the interface's DHCP clients hold, read as any request reads
// them (after a census, without its privileges).
InterfaceLeases ReadInterfaceLeases(const std::string& interfaceName)
{
    const LinuxPaths paths;
    const std::unique_ptr<CRunLeaseSources> leases = MakeLinuxLeaseSources(paths);
    CLinuxAdapterSource source(paths, leases->Kept());
    AdapterList adapters;
    source.Read(adapters);
    const std::optional<LeaseInterface> iface =
        source.Interface(AdapterNamed(adapters, interfaceName));
    InterfaceLeases read;
    read.error = ReadAdapterLease(iface, leases->Request(false), read.lease);
    read.error6 = ReadAdapterLease6(iface, *MakeLinuxLease6Sources(paths), read.lease6);
    return read;
}

DiscoverBackEnd LinuxDiscoverBackEnd()
{
    DiscoverBackEnd backEnd;
    backEnd.census = CensusDroppingPrivileges;
    backEnd.leases = ReadInterfaceLeases;
    backEnd.writeFile = ReplaceFile;
    return backEnd;
}

// The exchange gives up its privileges once its sockets are open (or it
// ended before they were).
HandshakeBackEnd LinuxHandshakeBackEnd()
{
    HandshakeBackEnd backEnd;
    backEnd.handshake = [](const HandshakeSettings& settings, HandshakeResult& result)
    {
        HandshakeSettings dropping = settings;
        dropping.opened = DropPrivileges;
        const int error = RunHandshake(dropping, result);
        DropPrivilegesOrEnd();
        return error;
    };
    backEnd.notice = [](const std::string& notice) { Print(notice, stderr); };
    return backEnd;
}

void PrintOutcome(const DiscoverOutcome& outcome)
{
    Print(outcome.out);
    Print(outcome.err, stderr);
}

// --inform asks the servers before any lease is read: the adapter is found
// without them, and their sockets open, the privileges go. The DHCPv6
// question is asked once the DHCPINFORM's socket is open, so that both
// sockets are open before either reads a byte.
Asked AskFirst(const LinuxPaths& paths, const std::string& strArgument, AddressFamilies families)
{
    CLeaseChain noLeases({});
    CLinuxAdapterSource source(paths, noLeases);
    AdapterList adapters;
    source.Read(adapters);
    const std::optional<LeaseInterface> iface =
        source.Interface(AdapterNamed(adapters, strArgument));
    Asked asked;
    const auto askIpv6 = [&asked, &iface]()
    {
        asked.ipv6 = true;
        Inform6Settings settings;
        settings.opened = DropPrivileges;
        asked.inform6Error =
            iface ? MakeInform6Source(settings)->Read(*iface, asked.inform6) : ENODEV;
        // Also where the question ended before its socket opened.
        return DropPrivileges();
    };
    if (families != AddressFamilies::Ipv6)
    {
        InformSettings settings;
        settings.m_fnOpened =
            families == AddressFamilies::Ipv4 ? std::function<int()>(DropPrivileges) : askIpv6;
        Lease lease;
        const int nResult = iface ? MakeInformLeaseSource(settings)->Read(*iface, lease) : ENODEV;
        asked.ipv4 = std::make_unique<CAnsweredLeaseSource>(nResult, std::move(lease));
    }
    if (families != AddressFamilies::Ipv4 && !asked.ipv6)
        askIpv6();
    DropPrivilegesOrEnd();
    return asked;
}
} // namespace

int main(int argc, char* argv[])
{
    UseTheLocalesCharset();
    const CommandLine command = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    // Only a run that opens a socket keeps its privileges until then.
    const bool bRuns = command.m_strError.empty() && !command.help && !command.version;
    const bool bAsk = bRuns && !command.discover && command.inform && !command.adapter.empty();
    const bool bSockets = command.discover || command.checkLease || command.handshake;
    if (!bAsk && !(bRuns && bSockets))
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
    const bool handshakeCheck = command.handshake && command.handshakeCommand.check;
    if (!command.m_strError.empty() &&
        (command.checkLease || command.census.check || handshakeCheck))
    {
        const DiscoverOutcome outcome = CheckUsageFailure(command.checkLease ? "DHCP LEASE"
                                                          : handshakeCheck   ? "DHCP HANDSHAKE"
                                                                             : "DHCP",
                                                          command.m_strError);
        PrintOutcome(outcome);
        return outcome.status;
    }
    if (!command.m_strError.empty())
    {
        Print("veyra: " + command.m_strError + "\n" + kUsageText, stderr);
        return kExitUsage;
    }
    if (command.discover)
    {
        const DiscoverOutcome outcome = RunDiscover(command.census, LinuxDiscoverBackEnd(),
                                                    [&command](const std::string& progress)
                                                    {
                                                        // A check's engine reads its status line
                                                        // alone.
                                                        if (!command.census.check)
                                                            Print(progress, stderr);
                                                    });
        PrintOutcome(outcome);
        return outcome.status;
    }
    if (command.checkLease)
    {
        const DiscoverOutcome outcome = RunLeaseCheck(command.leaseCheck, LinuxDiscoverBackEnd());
        PrintOutcome(outcome);
        return outcome.status;
    }
    if (command.handshake)
    {
        const DiscoverOutcome outcome =
            RunHandshakeCommand(command.handshakeCommand, LinuxHandshakeBackEnd());
        PrintOutcome(outcome);
        return outcome.status;
    }

    const LinuxPaths paths;
    Asked asked = bAsk ? AskFirst(paths, command.adapter, command.families) : Asked();
    const bool bAskedIpv4 = asked.ipv4 != nullptr;
    const std::unique_ptr<CRunLeaseSources> pLeases =
        bAskedIpv4 ? MakeLinuxLeaseSources(paths, std::move(asked.ipv4))
                   : MakeLinuxLeaseSources(paths);
    CLinuxAdapterSource source(paths, pLeases->Kept());
    AdapterList adapters;
    source.Read(adapters);

    const bool bNone = AdaptersShown(adapters, command.families).empty();
    if (command.adapter.empty() && command.format == OutputFormat::Json)
    {
        if (bNone)
            Print(FormatAdapters(adapters, command.families), stderr);
        Print(FormatAdaptersJson(adapters, command.families));
        return bNone ? kExitNoAdapter : kExitDone;
    }
    if (command.adapter.empty())
    {
        Print(FormatAdapters(adapters, command.families), bNone ? stderr : stdout);
        return bNone ? kExitNoAdapter : kExitDone;
    }
    const std::string strAdapter = AdapterNamed(adapters, command.adapter);
    if (strAdapter.empty())
    {
        Print(NoSuchAdapterText(command.adapter), stderr);
        return kExitNoAdapter;
    }
    return Request(command, paths, source, pLeases->Request(bAskedIpv4), strAdapter, asked);
}
