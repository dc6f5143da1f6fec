#include "core/wire/domain_names.h"

#include <utility>

namespace
{
constexpr std::uint8_t kPointerBits = 0xC0;

// Reads the name at nOffset, following pointers, and sets nNext to the offset
// after the name's own bytes (after its root label or its first pointer).
bool ReadName(const std::uint8_t* pData, std::size_t nLength, std::size_t nOffset,
              std::string& strName, std::size_t& nNext)
{
    std::size_t nWireLength = 0;
    bool bJumped = false;
    // Each pointer must point before the one before it, so a name visits at
    // most nLength offsets: the loop ends.
    std::size_t nLimit = nLength;
    strName.clear();
    for (;;)
    {
        if (nOffset >= nLength)
            return false;
        const std::uint8_t nLabel = pData[nOffset];
        if ((nLabel & kPointerBits) == kPointerBits)
        {
            if (nLength - nOffset < 2)
                return false;
            const std::size_t nTarget =
                static_cast<std::size_t>(nLabel & ~kPointerBits) << 8 | pData[nOffset + 1];
            if (nTarget >= nOffset || nTarget >= nLimit)
                return false;
            if (!bJumped)
                nNext = nOffset + 2;
            bJumped = true;
            nLimit = nTarget;
            nOffset = nTarget;
            continue;
        }
        if (nLabel > kMaxDomainLabel)
            return false; // the reserved 01 and 10 forms
        nWireLength += 1u + nLabel;
        if (nWireLength > kMaxDomainName)
            return false;
        if (nLabel == 0)
        {
            if (!bJumped)
                nNext = nOffset + 1;
            if (strName.empty())
                strName = ".";
            return true;
        }
        if (nLength - nOffset - 1 < nLabel)
            return false;
        if (!strName.empty())
            strName += '.';
        strName.append(reinterpret_cast<const char*>(pData + nOffset + 1), nLabel);
        nOffset += 1u + nLabel;
    }
}
} // namespace

std::optional<std::vector<std::string>> ReadDomainList(const std::uint8_t* pData,
                                                       std::size_t nLength)
{
    if (pData == nullptr || nLength == 0)
        return std::nullopt;
    std::vector<std::string> names;
    std::size_t nOffset = 0;
    while (nOffset < nLength)
    {
        std::string strName;
        std::size_t nNext = 0;
        if (!ReadName(pData, nLength, nOffset, strName, nNext))
            return std::nullopt;
        names.push_back(std::move(strName));
        nOffset = nNext;
    }
    return names;
}

std::optional<std::string> ReadUncompressedName(const std::uint8_t* pData, std::size_t nLength)
{
    std::string strName;
    std::size_t nWireLength = 0;
    std::size_t nOffset = 0;
    while (nOffset < nLength)
    {
        const std::uint8_t nLabel = pData[nOffset];
        if (nLabel > kMaxDomainLabel)
            return std::nullopt;
        nWireLength += 1u + nLabel;
        if (nWireLength > kMaxDomainName)
            return std::nullopt;
        if (nLabel == 0)
            return nOffset + 1 == nLength ? std::optional<std::string>(strName) : std::nullopt;
        if (nLength - nOffset - 1 < nLabel)
            return std::nullopt;
        if (!strName.empty())
            strName += '.';
        strName.append(reinterpret_cast<const char*>(pData + nOffset + 1), nLabel);
        nOffset += 1u + nLabel;
    }
    return strName;
}
