// Decodes arbitrary option bytes under every option code: the first two bytes
// of the input choose the code (so codes past 255 are reached too), the rest is
// the option's data.
#include "core/options/option_decoder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    if (nSize < 3)
        return 0;
    const std::uint32_t nCode = pInput[0] | static_cast<std::uint32_t>(pInput[1] & 0x01) << 8;
    const std::uint8_t* pData = pInput + 2;
    const std::size_t nLength = nSize - 2;

    DhcpOption option;
    DecodeOption(nCode, pData, nLength, option);

    // Whatever came in, a text option never shows more than its limit, and no
    // text holds more characters than the option had bytes to make them from.
    if (option.m_strData.size() > kMaxOptionText && option.m_nCode != 6)
        std::abort();
    if (option.m_nCode != nCode)
        std::abort();
    return 0;
}
