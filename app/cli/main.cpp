// veyra: the DHCP options of a Linux machine's network adapters, from the same
// inventory, request and decoding code as the window program.
#include "app/cli/command_line.h"
#include "app/cli/result_output.h"
#include "core/model/adapter_choice.h"
#include "linux/adapter_source.h"
#include "linux/lease_chain.h"
#include "linux/linux_dhcp_client.h"
#include "linux/linux_lease_sources.h"
#include "win32/adapter_inventory.h"
#include "win32/dhcp_query.h"

#include <cerrno>
#include <cstdio>

namespace
{
enum ExitStatus
{
    kExitDone = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitNoAdapter = 3,
    kExitNoPermission = 4,
    kExitNoLease = 5,
};

void Print(const std::string& strText, std::FILE* pStream = stdout)
{
    std::fwrite(strText.data(), 1, strText.size(), pStream);
}

// The platform name an argument means: an adapter's own name, or the
// hardware address text the window's chooser would show for it.
std::string AdapterNamed(const AdapterList& adapters, const std::string& strArgument)
{
    for (const AdapterInfo& adapter : adapters)
    {
        if (adapter.m_strAdapterName == strArgument)
            return strArgument;
    }
    return AdapterNameFor(adapters, strArgument);
}

ExitStatus ExitFor(DWORD dwResult)
{
    switch (dwResult)
    {
    case ENODEV:
        return kExitNoAdapter;
    case EACCES:
    case EPERM:
        return kExitNoPermission;
    case ENODATA:
        return kExitNoLease;
    default:
        return kExitFailed;
    }
}

int Request(const CommandLine& command, const LinuxPaths& paths, const std::string& strAdapter)
{
    CLeaseChain leases(LinuxLeaseSources(paths, command.m_bInform));
    CLinuxDhcpClient client(leases);
    CDhcpQuery query(client);
    query.SetTraceStream(stderr);
    DhcpOptionList options;
    if (!query.RequestOptions(options, strAdapter.c_str()))
    {
        Print(query.GetErrorText(), stderr);
        if (client.LastResult() == ENODATA)
            Print("veyra: no DHCP lease found for " + strAdapter +
                      (command.m_bInform ? "\n" : "; --inform asks the DHCP server itself\n"),
                  stderr);
        return ExitFor(client.LastResult());
    }
    switch (command.m_format)
    {
    case OutputFormat::Rows:
        Print(FormatRows(options));
        break;
    case OutputFormat::Tsv:
        Print(FormatTsv(options));
        break;
    case OutputFormat::Json:
        Print(FormatJson(options, client.LastLease()));
        break;
    }
    return kExitDone;
}
} // namespace

int main(int argc, char* argv[])
{
    const CommandLine command = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (command.m_bHelp)
    {
        Print(kUsageText);
        return kExitDone;
    }
    if (!command.m_strError.empty())
    {
        Print("veyra: " + command.m_strError + "\n" + kUsageText, stderr);
        return kExitUsage;
    }

    const LinuxPaths paths;
    CLeaseChain adapterLeases(LinuxLeaseSources(paths, false));
    CLinuxAdapterSource source(paths, adapterLeases);
    AdapterList adapters;
    source.Read(adapters);

    if (command.m_strAdapter.empty())
    {
        Print(FormatAdapters(adapters), adapters.empty() ? stderr : stdout);
        return adapters.empty() ? kExitNoAdapter : kExitDone;
    }
    const std::string strAdapter = AdapterNamed(adapters, command.m_strAdapter);
    if (strAdapter.empty())
    {
        Print("No Interfaces Present\nveyra: no network adapter is named " + command.m_strAdapter +
                  " or has that hardware address\n",
              stderr);
        return kExitNoAdapter;
    }
    return Request(command, paths, strAdapter);
}
