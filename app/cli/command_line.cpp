#include "app/cli/command_line.h"

#include <algorithm>
#include <cstring>
#include <getopt.h>

const char* const kUsageText =
    "Usage: veyra [-4|-6] [--json]       list the network adapters\n"
    "       veyra ADAPTER [OPTIONS]      show the DHCP options of one adapter\n"
    "       veyra --discover IF [-4|-6] [--vlan LIST] [--wait SECONDS]\n"
    "             [--client-mac MAC|random] [--promiscuous] [--expect ENTRY]...\n"
    "             [--expect-file FILE]... [--all] [--json]\n"
    "                                    a census of the DHCPv4 and DHCPv6 servers\n"
    "                                    and IPv6 routers on the link of IF\n"
    "       veyra --check IF [census options] [-w MS] [-c MS] [--metrics FILE]\n"
    "                                    the census as a monitoring-plugin check\n"
    "       veyra --check-lease IF [-4|-6] [-w HOURS] [-c HOURS] [--wait SECONDS]\n"
    "                                    a check of the time left on IF's leases and\n"
    "                                    of whether their servers still answer\n"
    "       veyra --handshake IF [-4|-6] [--client-mac MAC|random] [--wait SECONDS]\n"
    "             [--json | --check [-w MS] [-c MS]]\n"
    "       veyra --relay GIADDR --server ADDR [--handshake [IF]] [same options]\n"
    "                                    talk to a server as a client or a relay agent\n"
    "ADAPTER is an interface name or a hardware address as the list shows it.\n"
    "Options:\n"
    "  -4, -6       IPv4 (DHCP) or IPv6 (DHCPv6, router advertisements) alone;\n"
    "               both when neither is given\n"
    "  --all        every option of the lease, decoded, with its renewal,\n"
    "               rebinding and expiry times\n"
    "  --tsv        print tab-separated values with a header line\n"
    "  --copy-all   print exactly the text that Copy All gives\n"
    "  --json       print JSON: one object per option, with its raw bytes and source\n"
    "  --inform     also ask the DHCP servers directly (DHCPINFORM and a DHCPv6\n"
    "               Information-request; needs root)\n"
    "  --version    show the version\n"
    "  --help       show this text\n"
    "Census (root or CAP_NET_RAW; sends one DHCPDISCOVER, Solicit and Router\n"
    "Solicitation per VLAN, never takes a lease):\n"
    "  -4, -6              DHCPv4 alone, or DHCPv6 and routers alone\n"
    "  --vlan LIST         ask on these VLANs of a trunk, 802.1Q-tagged: 10,20,100-199\n"
    "  --wait SECONDS      how long to collect answers (default 5)\n"
    "  --client-mac MAC    ask as this locally administered address, or \"random\"\n"
    "                      (a fresh one per VLAN)\n"
    "  --promiscuous       also take frames to other addresses\n"
    "  --expect ENTRY      an approved responder: DHCPv4 ID[@MAC], DHCPv6 duid:HEX,\n"
    "                      router fe80::ADDRESS or MAC; %VLAN for one VLAN only;\n"
    "                      any other responder is an error (exit status 6)\n"
    "  --expect-file FILE  approved responders, one ENTRY a line, # comments\n"
    "  --all, --json       every option of each offer and Advertise; the stable JSON\n"
    "Monitoring (veyra(1), MONITORING):\n"
    "  --check             one status line with performance data; exit 0 OK,\n"
    "                      1 WARNING, 2 CRITICAL, 3 UNKNOWN\n"
    "  -w, -c              the warning and critical thresholds: reply time in\n"
    "                      milliseconds, or for --check-lease hours left\n"
    "  --metrics FILE      also write the census and the leases for Prometheus's\n"
    "                      textfile collector (replaced whole, never half written)\n"
    "  --handshake         the whole exchange with a random client address, then\n"
    "                      the lease released (DHCPv4: DISCOVER to ACK; DHCPv6:\n"
    "                      Solicit to Reply)\n"
    "  --relay GIADDR      ask as a relay agent with this address on the remote\n"
    "  --server ADDR       subnet, sending to this server\n"
    "Exit status of a census: 0 all approved (without a list: at most one responder\n"
    "of each kind per VLAN, and something answered on each), 6 a finding (rogue,\n"
    "conflict, unapproved, more than one), 5 a VLAN where nothing (or nothing the\n"
    "list expects) answered.\n"
    "See veyra(1).\n";

namespace
{
// What getopt_long returns for each option; kOperand for a word that is none.
enum OptionId : int
{
    kOperand = 1,
    kHelp = 'h',
    kIpv4 = '4',
    kIpv6 = '6',
    kVersion = 256,
    kTsv,
    kCopyAll,
    kJson,
    kAll,
    kInform,
    kDiscover,
    kWait,
    kClientMac,
    kExpect,
    kExpectFile,
    kVlan,
    kPromiscuous,
    kCheck,
    kCheckLease,
    kMetrics,
    kHandshake,
    kRelay,
    kServer,
    kWarning = 'w',
    kCritical = 'c',
};

constexpr option kOptions[] = {
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {"tsv", no_argument, nullptr, kTsv},
    {"copy-all", no_argument, nullptr, kCopyAll},
    {"json", no_argument, nullptr, kJson},
    {"all", no_argument, nullptr, kAll},
    {"inform", no_argument, nullptr, kInform},
    {"discover", required_argument, nullptr, kDiscover},
    {"wait", required_argument, nullptr, kWait},
    {"client-mac", required_argument, nullptr, kClientMac},
    {"expect", required_argument, nullptr, kExpect},
    {"expect-file", required_argument, nullptr, kExpectFile},
    {"vlan", required_argument, nullptr, kVlan},
    {"promiscuous", no_argument, nullptr, kPromiscuous},
    {"check", no_argument, nullptr, kCheck},
    {"check-lease", required_argument, nullptr, kCheckLease},
    {"metrics", required_argument, nullptr, kMetrics},
    {"handshake", no_argument, nullptr, kHandshake},
    {"relay", required_argument, nullptr, kRelay},
    {"server", required_argument, nullptr, kServer},
    {"warning", required_argument, nullptr, kWarning},
    {"critical", required_argument, nullptr, kCritical},
    {nullptr, 0, nullptr, 0},
};

// '-': every operand comes back in its place (as kOperand), whatever
// POSIXLY_CORRECT says; ':': a missing value is told from an unknown option.
constexpr const char* kShortOptions = "-:h46w:c:";

const option* OptionOf(int id)
{
    for (const option* entry = kOptions; entry->name != nullptr; ++entry)
    {
        if (entry->val == id)
            return entry;
    }
    return nullptr;
}

std::string LongName(int id)
{
    return std::string("--") + OptionOf(id)->name;
}

// The name a mode's own reader knows an option by: -4, -6, -w and -c short.
std::string OptionName(int id)
{
    if (id == kIpv4 || id == kIpv6 || id == kWarning || id == kCritical)
        return std::string("-") + static_cast<char>(id);
    return LongName(id);
}

// A long option of getopt_long's refusal: unknown, or a prefix of several.
std::string UnknownLongOption(const std::string& word)
{
    const std::string name = word.substr(2, word.find('=') - 2);
    const auto matches =
        std::count_if(std::begin(kOptions), std::end(kOptions) - 1,
                      [&name](const option& entry)
                      { return std::strncmp(entry.name, name.c_str(), name.size()) == 0; });
    return (matches > 1 ? "ambiguous option '" : "unknown option '") + word + "'";
}

// What is wrong with the word getopt_long refused (it returned result).
std::string RefusalText(int result, const char* word)
{
    if (result == ':')
        return LongName(optopt) + " needs a value";
    if (optopt != 0 && OptionOf(optopt) != nullptr)
        return LongName(optopt) + " takes no value";
    if (optopt != 0)
        return std::string("unknown option '-") + static_cast<char>(optopt) + "'";
    return UnknownLongOption(word);
}

// One option or operand as given.
struct Word
{
    int id; // an OptionId
    std::string value;
};

// The words in the order given; refused is the first one getopt_long refuses
// (then the rest are still read).
std::vector<Word> ReadWords(const std::vector<std::string>& arguments, std::string& refused)
{
    std::vector<std::string> texts{"veyra"};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(texts.size());
    const auto at = [&argv](int index) { return argv[static_cast<std::size_t>(index)]; };

    optind = 0; // a whole new scan
    opterr = 0;
    std::vector<Word> words;
    for (int id; (id = getopt_long(argc, argv.data(), kShortOptions, kOptions, nullptr)) != -1;)
    {
        if (id == '?' || id == ':')
        {
            if (refused.empty())
                refused = RefusalText(id, at(optind - 1));
            // A known option given wrongly still says what was asked for.
            if (optopt == 0 || OptionOf(optopt) == nullptr)
                continue;
            id = optopt;
        }
        words.push_back({id, optarg != nullptr ? optarg : ""});
    }
    for (; optind < argc; ++optind) // after "--"
        words.push_back({kOperand, at(optind)});
    return words;
}

// The words of a mode, as its own reader takes them: each option by its
// name, then its value. operand names the option an operand stands for (the
// interface of --check and --handshake); empty: an operand is refused.
std::vector<std::string> ModeArguments(const std::vector<Word>& words, const std::string& operand)
{
    std::vector<std::string> arguments;
    for (const Word& word : words)
    {
        if (word.id == kOperand)
            arguments.push_back(operand.empty() ? word.value : operand);
        else
            arguments.push_back(OptionName(word.id));
        const option* known = OptionOf(word.id);
        if (word.id == kOperand ? !operand.empty()
                                : known != nullptr && known->has_arg == required_argument)
            arguments.push_back(word.value);
    }
    return arguments;
}

bool Has(const std::vector<Word>& words, int id)
{
    return std::any_of(words.begin(), words.end(),
                       [id](const Word& word) { return word.id == id; });
}

// --check IF is --check --discover IF.
std::string ReadDiscovery(const std::vector<Word>& words, DiscoverCommand& discover)
{
    const bool operandIsInterface = Has(words, kCheck) && !Has(words, kDiscover);
    for (const Word& word : words)
    {
        if (word.id == kOperand && !operandIsInterface)
            return "--discover does not take " + word.value;
    }
    return ParseDiscoverCommand(ModeArguments(words, operandIsInterface ? "--discover" : ""),
                                discover);
}

std::string ReadRequest(const std::vector<Word>& words, CommandLine& command)
{
    std::string error;
    const auto refuse = [&error](const std::string& text)
    {
        if (error.empty())
            error = text;
    };
    bool formatGiven = false;
    for (const Word& word : words)
    {
        switch (word.id)
        {
        case kVersion:
            command.version = true;
            break;
        case kTsv:
        case kCopyAll:
        case kJson:
            if (formatGiven)
                refuse("choose one of --tsv, --copy-all and --json");
            command.format = word.id == kTsv       ? OutputFormat::Tsv
                             : word.id == kCopyAll ? OutputFormat::CopyAll
                                                   : OutputFormat::Json;
            formatGiven = true;
            break;
        case kAll:
            command.all = true;
            break;
        case kInform:
            command.inform = true;
            break;
        case kIpv4:
        case kIpv6:
        {
            const AddressFamilies families =
                word.id == kIpv4 ? AddressFamilies::Ipv4 : AddressFamilies::Ipv6;
            if (command.families != AddressFamilies::Both && command.families != families)
                refuse("choose one of -4 and -6");
            command.families = families;
            break;
        }
        case kOperand:
            if (command.adapter.empty() && !word.value.empty())
                command.adapter = word.value;
            else
                refuse("give one adapter");
            break;
        default: // the options of a discovery
            refuse(OptionName(word.id) + " needs --discover");
            break;
        }
    }
    if (!error.empty())
        return error;
    // The adapter list has rows and JSON forms only.
    if (command.adapter.empty() &&
        ((formatGiven && command.format != OutputFormat::Json) || command.all || command.inform))
        return "--tsv, --copy-all, --all and --inform need an adapter";
    // Copy All is the window's text of the window's rows; --all has no window.
    if (command.all && command.format == OutputFormat::CopyAll)
        return "--all has no Copy All text; use --tsv";
    return std::string();
}
} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine command;
    std::string refused;
    const std::vector<Word> words = ReadWords(arguments, refused);
    // Help wins over every other word, one read as a value or after "--" too.
    command.help = std::any_of(words.begin(), words.end(),
                               [](const Word& word) { return word.id == kHelp; }) ||
                   std::any_of(arguments.begin(), arguments.end(),
                               [](const std::string& argument)
                               { return argument == "--help" || argument == "-h"; });
    if (command.help)
        return command;
    command.checkLease = Has(words, kCheckLease);
    command.handshake = !command.checkLease && (Has(words, kHandshake) || Has(words, kRelay));
    command.discover =
        !command.checkLease && !command.handshake && (Has(words, kDiscover) || Has(words, kCheck));
    std::string error;
    if (command.checkLease)
        error = ParseLeaseCheckCommand(ModeArguments(words, "--interface"), command.leaseCheck);
    else if (command.handshake)
        error =
            ParseHandshakeCommand(ModeArguments(words, "--interface"), command.handshakeCommand);
    else if (command.discover)
    {
        error = ReadDiscovery(words, command.census);
        // A check answers even wrong arguments in its own form.
        command.census.check = Has(words, kCheck);
    }
    else
        error = ReadRequest(words, command);
    command.m_strError = refused.empty() ? error : refused;
    return command;
}
