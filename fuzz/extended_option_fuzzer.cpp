// Decodes arbitrary bytes through the extended catalogue: the first byte is
// the option code, the rest its data. The same bytes, read as a sequence of
// code, length and data, make a whole lease for DecodeAllOptions, and every
// option's JSON is dumped, which throws on a string that is not UTF-8.
#include "core/options/extended_decoder.h"

#include <algorithm>
#include <cstdlib>

namespace
{
void Check(const ExtendedOption& option, std::uint8_t nCode, const OptionBytes& bytes)
{
    if (option.m_nCode != nCode)
        std::abort();
    // A malformed option shows its bytes, and only them.
    const std::string strHex = HexText(bytes.data(), bytes.size());
    if (option.m_bMalformed && (option.m_strText != strHex || option.m_value != strHex))
        std::abort();
    const nlohmann::json object = ExtendedOptionJson(option, bytes);
    if (object.at("hex") != strHex || object.dump().empty())
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    if (nSize < 1)
        return 0;
    const OptionBytes data(pInput + 1, pInput + nSize);
    Check(DecodeExtendedOption(pInput[0], data.data(), data.size()), pInput[0], data);

    OptionMap options;
    for (std::size_t i = 0; nSize - i >= 2;)
    {
        const std::size_t nLength = std::min<std::size_t>(pInput[i + 1], nSize - i - 2);
        options[pInput[i]].assign(pInput + i + 2, pInput + i + 2 + nLength);
        i += 2 + nLength;
    }
    const std::vector<ExtendedOption> decoded = DecodeAllOptions(options);
    if (decoded.size() != options.size())
        std::abort();
    auto it = options.begin();
    for (const ExtendedOption& option : decoded)
    {
        Check(option, it->first, it->second);
        ++it;
    }
    return 0;
}
