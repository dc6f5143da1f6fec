#include "core/wire/ipv6_text.h"

#include "core/wire/byte_order.h"
#include "core/wire/hex_text.h"

#include <algorithm>
#include <cstddef>

namespace
{
constexpr std::size_t kGroups = 8;
} // namespace

std::string Ipv6Text(const std::uint8_t* pAddress)
{
    std::uint16_t groups[kGroups];
    for (std::size_t i = 0; i < kGroups; ++i)
        groups[i] = ReadBe16(pAddress + 2 * i);

    // The longest run of zero groups; a single zero group stays "0".
    std::size_t nRunStart = kGroups;
    std::size_t nRunLength = 1;
    for (std::size_t i = 0; i < kGroups;)
    {
        std::size_t nEnd = i;
        while (nEnd < kGroups && groups[nEnd] == 0)
            ++nEnd;
        if (nEnd - i > nRunLength)
        {
            nRunStart = i;
            nRunLength = nEnd - i;
        }
        i = nEnd == i ? i + 1 : nEnd;
    }

    std::string strText;
    for (std::size_t i = 0; i < kGroups; ++i)
    {
        if (i == nRunStart)
        {
            strText += "::";
            i += nRunLength - 1;
            continue;
        }
        if (i != 0 && i != nRunStart + nRunLength)
            strText += ':';
        // RFC 5952 4.1: no leading zeros, but one digit at least.
        const std::size_t nStart = strText.size();
        AppendHexByte(strText, static_cast<std::uint8_t>(groups[i] >> 8));
        AppendHexByte(strText, static_cast<std::uint8_t>(groups[i]));
        const std::size_t nZeros = strText.find_first_not_of('0', nStart);
        strText.erase(nStart, std::min(nZeros, strText.size() - 1) - nStart);
    }
    return strText;
}
