// Decodes arbitrary bytes through the extended catalogue: the first byte is
// the option code, the rest its data (read in place, so that a decoder's
// read past the length is an overflow). The same bytes, read as a sequence of code,
// length and data, make a whole lease, decoded for its text alone as rows
// and the window decode it.
#include "core/options/extended_decoder.h"

#include <algorithm>
#include <cstdlib>

namespace
{
// A malformed option shows its bytes, and only them.
void CheckMalformed(const ExtendedOption& option, const std::uint8_t* data, std::size_t length)
{
    if (!option.m_bMalformed)
        return;
    const std::string hex = HexText(data, length);
    if (option.m_strText != hex || option.m_value != hex)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    if (size < 1)
        return 0;
    const ExtendedOption option = DecodeExtendedOption(input[0], input + 1, size - 1);
    if (option.m_nCode != input[0])
        std::abort();
    // A malformed value is the hex, compared with HexText's.
    CheckMalformed(option, input + 1, size - 1);

    OptionMap options;
    for (std::size_t i = 0; size - i >= 2;)
    {
        const std::size_t length = std::min<std::size_t>(input[i + 1], size - i - 2);
        options[input[i]].assign(input + i + 2, input + i + 2 + length);
        i += 2 + length;
    }
    const std::vector<ExtendedOption> decoded = DecodeAllOptions(options, ExtendedParts::Text);
    if (decoded.size() != options.size())
        std::abort();
    auto it = options.begin();
    for (const ExtendedOption& each : decoded)
    {
        if (each.m_nCode != it->first)
            std::abort();
        if (each.m_bMalformed && each.m_strText != HexText(it->second.data(), it->second.size()))
            std::abort();
        ++it;
    }
    return 0;
}
