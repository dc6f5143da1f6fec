// Reads arbitrary bytes as an approved-servers file. A good file keeps one
// entry per line that is neither blank nor a comment, within the bound; a bad
// one names a line the text has.
#include "core/wire/approved_servers.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::string_view text(reinterpret_cast<const char*>(pInput), nSize);
    std::vector<ApprovedServer> list;
    const std::size_t nBadLine = ParseApprovedServers(text, list);
    const auto nLines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (nBadLine > nLines || list.size() > kMaxApprovedServers ||
        (nBadLine == 0 && list.size() > nLines))
        std::abort();
    // Each entry written back reads as itself.
    for (const ApprovedServer& server : list)
    {
        const std::uint32_t n = server.m_nServerId;
        std::string strEntry = std::to_string(n >> 24) + "." + std::to_string(n >> 16 & 0xFF) +
                               "." + std::to_string(n >> 8 & 0xFF) + "." + std::to_string(n & 0xFF);
        const std::optional<ApprovedServer> again = ParseApprovedServer(strEntry);
        if (!again || again->m_nServerId != n)
            std::abort();
    }
    return 0;
}
