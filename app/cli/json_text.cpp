#include "app/cli/json_text.h"

#include <cstdio>

namespace
{
// The length of the well-formed UTF-8 sequence at text[pos], or 0 (RFC 3629:
// no overlong forms, no surrogates, nothing above U+10FFFF).
std::size_t Utf8SequenceLength(const std::string& strText, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(strText[i]); };
    const unsigned char lead = byte(pos);
    std::size_t nLength = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        nLength = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        nLength = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        nLength = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (nLength == 0 || pos + nLength > strText.size())
        return 0;
    if (byte(pos + 1) < low || byte(pos + 1) > high)
        return 0;
    for (std::size_t i = 2; i < nLength; ++i)
    {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
    }
    return nLength;
}
} // namespace

std::string JsonString(const std::string& strText)
{
    std::string strJson = "\"";
    for (std::size_t pos = 0; pos < strText.size();)
    {
        const auto byte = static_cast<unsigned char>(strText[pos]);
        if (byte == '"' || byte == '\\')
        {
            strJson += '\\';
            strJson += static_cast<char>(byte);
            ++pos;
        }
        else if (byte < 0x20 || byte == 0x7F)
        {
            char szEscape[8];
            std::snprintf(szEscape, sizeof szEscape, "\\u%04X", byte);
            strJson += szEscape;
            ++pos;
        }
        else if (byte < 0x80)
        {
            strJson += static_cast<char>(byte);
            ++pos;
        }
        else if (const std::size_t nLength = Utf8SequenceLength(strText, pos))
        {
            strJson.append(strText, pos, nLength);
            pos += nLength;
        }
        else
        {
            strJson += "\\uFFFD";
            ++pos;
        }
    }
    return strJson + '"';
}
