#include "app/cli/command_line.h"

#include <algorithm>

const char* const kUsageText =
    "Usage: veyra [--json]               list the network adapters\n"
    "       veyra ADAPTER [OPTIONS]      show the DHCP options of one adapter\n"
    "       veyra --discover IF [--wait SECONDS] [--client-mac MAC|random]\n"
    "             [--expect ID[@MAC]]... [--expect-file FILE]... [--all] [--json]\n"
    "                                    find every DHCP server on the link of IF\n"
    "ADAPTER is an interface name or a hardware address as the list shows it.\n"
    "Options:\n"
    "  --all        every option of the lease, decoded, with its renewal,\n"
    "               rebinding and expiry times\n"
    "  --tsv        print tab-separated values with a header line\n"
    "  --copy-all   print exactly the text that Copy All gives\n"
    "  --json       print JSON: one object per option, with its raw bytes and source\n"
    "  --inform     also ask the DHCP server directly (DHCPINFORM; needs root)\n"
    "  --version    show the version\n"
    "  --help       show this text\n"
    "Discovery (root or CAP_NET_RAW; sends one DHCPDISCOVER, never takes a lease):\n"
    "  --wait SECONDS      how long to collect offers (default 5)\n"
    "  --client-mac MAC    ask as this locally administered address, or \"random\"\n"
    "  --expect ID[@MAC]   an approved server: its id, and the MAC its offers come\n"
    "                      from; any other server is an error (exit status 6)\n"
    "  --expect-file FILE  approved servers, one ID[@MAC] a line, # comments\n"
    "  --all, --json       every option of each offer; the stable JSON form\n"
    "Exit status of a discovery: 0 one server and nothing flagged (or all approved),\n"
    "5 none, 6 more than one, unapproved, or a conflict (one id, other sources or\n"
    "settings) or an offer without server id.\n"
    "See veyra(1).\n";

namespace
{
struct FormatFlag
{
    const char* m_pszFlag;
    OutputFormat m_format;
};

constexpr FormatFlag kFormatFlags[] = {
    {"--tsv", OutputFormat::Tsv},
    {"--copy-all", OutputFormat::CopyAll},
    {"--json", OutputFormat::Json},
};

const FormatFlag* FormatFlagOf(const std::string& strArgument)
{
    for (const FormatFlag& flag : kFormatFlags)
    {
        if (strArgument == flag.m_pszFlag)
            return &flag;
    }
    return nullptr;
}
} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine command;
    // Help wins over every other argument, a discovery's too.
    command.m_bHelp = std::any_of(arguments.begin(), arguments.end(),
                                  [](const std::string& strArgument)
                                  { return strArgument == "--help" || strArgument == "-h"; });
    if (command.m_bHelp)
        return command;
    if (AsksForDiscovery(arguments))
    {
        command.m_bDiscover = true;
        command.m_strError = ParseDiscoverCommand(arguments, command.m_discover);
        return command;
    }
    bool bFormatGiven = false;
    for (const std::string& strArgument : arguments)
    {
        if (strArgument == "--version")
        {
            command.m_bVersion = true;
        }
        else if (const FormatFlag* pFlag = FormatFlagOf(strArgument))
        {
            if (bFormatGiven)
                command.m_strError = "choose one of --tsv, --copy-all and --json";
            command.m_format = pFlag->m_format;
            bFormatGiven = true;
        }
        else if (strArgument == "--all")
        {
            command.m_bAll = true;
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
    if (!command.m_strError.empty())
        return command;
    // The adapter list has rows and JSON forms only.
    if (command.m_strAdapter.empty() && ((bFormatGiven && command.m_format != OutputFormat::Json) ||
                                         command.m_bAll || command.m_bInform))
        command.m_strError = "--tsv, --copy-all, --all and --inform need an adapter";
    // Copy All is the window's text of the window's rows; --all has no window.
    else if (command.m_bAll && command.m_format == OutputFormat::CopyAll)
        command.m_strError = "--all has no Copy All text; use --tsv";
    return command;
}
