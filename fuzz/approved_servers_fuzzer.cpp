// Reads arbitrary bytes as an approved-servers file. A good file keeps one
// entry per line that is neither blank nor a comment, within the bound; a bad
// one names a line the text has. Each entry written back reads as itself.
#include "core/wire/approved_servers.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::string_view text(reinterpret_cast<const char*>(pInput), nSize);
    std::vector<ApprovedEntry> list;
    const std::size_t nBadLine = ParseApprovedServers(text, list);
    const auto nLines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (nBadLine > nLines || list.size() > kMaxApprovedServers ||
        (nBadLine == 0 && list.size() > nLines))
        std::abort();
    for (const ApprovedEntry& entry : list)
    {
        const std::string written = ApprovedEntryText(entry);
        const std::optional<ApprovedEntry> again = ParseApprovedEntry(written);
        if (!again || ApprovedEntryText(*again) != written || again->kind != entry.kind)
            std::abort();
    }
    return 0;
}
