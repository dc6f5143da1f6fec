// What the `veyra` command line was asked to do.
#pragma once

#include "app/cli/discover_command.h"
#include "app/cli/handshake_command.h"
#include "app/cli/lease_check.h"

#include <string>
#include <vector>

enum class OutputFormat
{
    Rows,    // aligned columns for a terminal
    Tsv,     // tab-separated values with a header line, one record a line
    CopyAll, // exactly the text Copy All puts on the clipboard
    Json,    // one object per option (or adapter), with the raw bytes and their source
};

// Which address families a request or the adapter list shows (-4, -6).
enum class AddressFamilies
{
    Both,
    Ipv4,
    Ipv6,
};

struct CommandLine
{
    bool help = false;
    bool version = false;
    std::string adapter; // empty: list the adapters
    OutputFormat format = OutputFormat::Rows;
    bool all = false; // every option of the lease, not only the window's
    bool inform = false;
    AddressFamilies families = AddressFamilies::Both;
    bool discover = false; // --discover or --check: census says the rest
    DiscoverCommand census;
    bool checkLease = false; // --check-lease: leaseCheck says the rest
    LeaseCheckCommand leaseCheck;
    bool handshake = false; // --handshake or --relay: handshake says the rest
    HandshakeCommand handshakeCommand;
    std::string m_strError; // set when the arguments make no sense
};

// Reads the arguments after the program's name with getopt_long, in the order
// given whatever POSIXLY_CORRECT says, so that options may follow the adapter;
// "--" ends the options. Long options may be shortened while unambiguous, and
// take their value as the next word or after "=". --help (or -h) anywhere wins
// over every other word, a wrong one too. Not reentrant: getopt's state is global.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsageText;
