#include "app/cli/command_line.h"

const char* const kUsageText =
    "Usage: veyra                      list the network adapters\n"
    "       veyra ADAPTER [OPTIONS]    show the DHCP options of one adapter\n"
    "       veyra --discover IF [--wait SECONDS] [--client-mac MAC|random]\n"
    "             [--expect SERVER-ID] [--all] [--json]\n"
    "                                  find every DHCP server on the link of IF\n"
    "ADAPTER is an interface name or a hardware address as the list shows it.\n"
    "Options:\n"
    "  --tsv      print exactly the text that Copy All gives\n"
    "  --json     print one object per option, with its raw bytes and source\n"
    "  --inform   also ask the DHCP server directly (DHCPINFORM; needs root)\n"
    "  --help     show this text\n"
    "Discovery (root or CAP_NET_RAW; sends one DHCPDISCOVER, never takes a lease):\n"
    "  --wait SECONDS      how long to collect offers (default 3)\n"
    "  --client-mac MAC    ask as this locally administered address, or \"random\"\n"
    "  --expect SERVER-ID  any other server is an error (exit status 6)\n"
    "  --all, --json       every option of each offer; the stable JSON form\n"
    "Exit status of a discovery: 0 one server, 5 none, 6 more than one or unexpected.\n";

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine command;
    if (AsksForDiscovery(arguments))
    {
        command.m_bDiscover = true;
        command.m_strError = ParseDiscoverCommand(arguments, command.m_discover);
        return command;
    }
    bool bFormatGiven = false;
    for (const std::string& strArgument : arguments)
    {
        if (strArgument == "--help" || strArgument == "-h")
        {
            command.m_bHelp = true;
        }
        else if (strArgument == "--tsv" || strArgument == "--json")
        {
            if (bFormatGiven)
                command.m_strError = "choose one of --tsv and --json";
            command.m_format = strArgument == "--tsv" ? OutputFormat::Tsv : OutputFormat::Json;
            bFormatGiven = true;
        }
        else if (strArgument == "--inform")
        {
            command.m_bInform = true;
        }
        else if (!strArgument.empty() && strArgument[0] == '-')
        {
            command.m_strError = "unknown option " + strArgument;
        }
        else if (command.m_strAdapter.empty() && !strArgument.empty())
        {
            command.m_strAdapter = strArgument;
        }
        else
        {
            command.m_strError = "give one adapter";
        }
    }
    if (command.m_strError.empty() && command.m_strAdapter.empty() &&
        (bFormatGiven || command.m_bInform))
        command.m_strError = "--tsv, --json and --inform need an adapter";
    return command;
}
