#include "core/wire/ipv6_text.h"

#include "core/wire/byte_order.h"

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

    static const char kDigits[] = "0123456789abcdef";
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
        bool bDigits = false;
        for (int nShift = 12; nShift >= 0; nShift -= 4)
        {
            const unsigned nDigit = static_cast<unsigned>(groups[i]) >> nShift & 0x0Fu;
            if (nDigit == 0 && !bDigits && nShift != 0)
                continue;
            bDigits = true;
            strText += kDigits[nDigit];
        }
    }
    return strText;
}
