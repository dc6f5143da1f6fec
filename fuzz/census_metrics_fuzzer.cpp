// --metrics over hostile label values: the input is the interface's name and
// a DHCPv6 server's DUID. Every line stays one comment or one series whose
// label values end at an unescaped quote, escape only \\, \" and \n, and are
// well-formed UTF-8.
#include "app/cli/census_metrics.h"
#include "platform/utf8.h"

#include <cstdlib>
#include <sstream>

namespace
{
bool IsSeries(const std::string& line)
{
    const std::size_t open = line.find('{');
    if (open == std::string::npos)
        return false;
    for (std::size_t at = open + 1; at < line.size();)
    {
        const std::size_t quote = line.find("=\"", at);
        if (quote == std::string::npos)
            return false;
        for (at = quote + 2; at < line.size() && line[at] != '"'; ++at)
        {
            if (line[at] == '\\' &&
                (++at == line.size() || std::string("\\\"n").find(line[at]) == std::string::npos))
                return false;
        }
        if (++at >= line.size())
            return false;
        if (line[at] == '}')
            return line.find(' ', at) == at + 1;
        if (line[at++] != ',')
            return false;
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    DiscoverCommand command;
    command.interfaceName = input.substr(0, size / 2);
    VlanCensus vlan;
    vlan.servers6.emplace_back().duid.assign(data + size / 2, data + size);
    CensusResult result;
    result.vlans = {vlan};
    const CensusVerdict verdict;
    const std::string text = FormatCensusMetrics(command, &result, &verdict, InterfaceLeases(), {});
    if (ReplaceMalformedUtf8(text) != text)
        std::abort();
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
    {
        if (line.rfind("# ", 0) != 0 && !IsSeries(line))
            std::abort();
    }
    return 0;
}
