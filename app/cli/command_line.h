// What the `veyra` command line was asked to do.
#pragma once

#include <string>
#include <vector>

enum class OutputFormat
{
    Rows,    // aligned columns for a terminal
    Tsv,     // tab-separated values with a header line, one record a line
    CopyAll, // exactly the text Copy All puts on the clipboard
    Json,    // one object per option (or adapter), with the raw bytes and their source
};

struct CommandLine
{
    bool m_bHelp = false;
    bool m_bVersion = false;
    std::string m_strAdapter; // empty: list the adapters
    OutputFormat m_format = OutputFormat::Rows;
    bool m_bAll = false; // every option of the lease, not only the window's
    bool m_bInform = false;
    std::string m_strError; // set when the arguments make no sense
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsageText;
