#include "core/options/option_decoder.h"

#include "core/options/dhcpv4_options.h"
#include "core/wire/address_text.h"
#include "core/wire/byte_order.h"
#include "core/wire/hex_text.h"

#include <cstdio>

namespace
{
constexpr std::size_t kAddressSize = 4;

// Up to four bytes as one unsigned number, most significant byte first.
std::uint32_t ReadNumber(const std::uint8_t* pData, std::size_t nLength)
{
    std::uint32_t nValue = 0;
    for (std::size_t i = 0; i < nLength && i < 4; ++i)
        nValue = (nValue << 8) | pData[i];
    return nValue;
}

CString RenderAddressList(const std::uint8_t* pData, std::size_t nLength)
{
    CString strText;
    for (std::size_t nOffset = 0; nLength - nOffset >= kAddressSize; nOffset += kAddressSize)
    {
        strText += FormatAddress(pData + nOffset);
        strText += ' ';
    }
    return strText;
}

CString RenderHours(std::uint32_t nBits)
{
    // Two's complement without relying on implementation-defined conversion.
    const std::int64_t nSeconds = nBits < 0x80000000u
                                      ? static_cast<std::int64_t>(nBits)
                                      : static_cast<std::int64_t>(nBits) - 0x100000000;
    char szText[32];
    std::snprintf(szText, sizeof szText, "%.2fh",
                  static_cast<double>(nSeconds) * 0.0002777777777777778);
    return szText;
}

CString RenderMoment(std::uint32_t nSeconds)
{
    if (nSeconds == kInfiniteLease)
        return "Infinite";
    return FormatLeaseTime(nSeconds);
}

CString RenderText(const std::uint8_t* pData, std::size_t nLength)
{
    std::size_t nChars = 0;
    while (nChars < nLength && nChars < kMaxOptionText && pData[nChars] != 0)
        ++nChars;
    return CString(reinterpret_cast<const char*>(pData), nChars);
}

CString RenderData(const WindowColumn& window, const std::uint8_t* pData, std::size_t nLength)
{
    const bool bHasAddress = nLength >= kAddressSize;
    switch (window.rendering)
    {
    case Rendering::Address:
        return bHasAddress ? FormatAddress(pData) : CString();
    case Rendering::Addresses:
        return RenderAddressList(pData, nLength);
    case Rendering::Number:
        return std::to_string(ReadNumber(pData, nLength));
    case Rendering::Hours:
        return bHasAddress ? RenderHours(ReadBe32(pData)) : CString();
    case Rendering::Moment:
        return bHasAddress ? RenderMoment(ReadBe32(pData)) : CString();
    case Rendering::NamedValue:
    {
        const char* name = FindValueName(window.names, pData[0]);
        return name != nullptr ? name : CString();
    }
    case Rendering::Encapsulation:
        return pData[0] != 0 ? "IEEE 802.3" : "Ethernet II";
    case Rendering::HexByte:
        return HexText(pData, 1, HexCase::Upper);
    case Rendering::Text:
        return RenderText(pData, nLength);
    case Rendering::Nothing:
    case Rendering::NameOnly:
        break;
    }
    return CString();
}
} // namespace

CString FormatAddress(const std::uint8_t* pAddress)
{
    return DottedQuad(pAddress);
}

void DecodeOption(std::uint32_t nCode, const std::uint8_t* pData, std::size_t nLength,
                  DhcpOption& option)
{
    option.m_nCode = nCode;
    const Dhcpv4Row* row = kDhcpv4Options.Find(nCode);
    // A code without a row shows as one without a parameter text.
    const WindowColumn window = row != nullptr ? row->window : WindowColumn{};
    if (window.rendering == Rendering::Nothing)
        return;
    option.m_strParameter = window.parameter != nullptr ? window.parameter : kUnknownOption;
    // The request never decodes an option without data; a direct caller may.
    if (nLength != 0 && pData != nullptr)
        option.m_strData = RenderData(window, pData, nLength);
}
