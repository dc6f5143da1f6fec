// What the `veyra` command line was asked to do.
#pragma once

#include "app/cli/discover_command.h"

#include <string>
#include <vector>

enum class OutputFormat
{
    Rows, // the rows as the window shows them, for a terminal
    Tsv,  // exactly the text Copy All puts on the clipboard
    Json, // one object per row, with the raw bytes and their source
};

struct CommandLine
{
    bool m_bHelp = false;
    std::string m_strAdapter; // empty: list the adapters
    OutputFormat m_format = OutputFormat::Rows;
    bool m_bInform = false;
    bool m_bDiscover = false; // --discover: m_discover says the rest
    DiscoverCommand m_discover;
    std::string m_strError; // set when the arguments make no sense
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsageText;
