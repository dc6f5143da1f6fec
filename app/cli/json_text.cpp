#include "app/cli/json_text.h"

#include "core/model/peer_text.h"
#include "platform/utf8.h"

#include <cstdio>

namespace
{
void AppendEscape(std::string& strJson, char32_t nUnit)
{
    char szEscape[12];
    std::snprintf(szEscape, sizeof szEscape, "\\u%04X", static_cast<unsigned>(nUnit & 0xFFFF));
    strJson += szEscape;
}
} // namespace

std::string JsonString(const std::string& strText)
{
    const PeerCharset charset = PeerTextCharset();
    std::string strJson = "\"";
    strJson.reserve(strText.size() + 2);
    for (std::size_t pos = 0; pos < strText.size();)
    {
        const std::size_t nStart = pos;
        const char32_t nCode = DecodeUtf8(strText, pos);
        // A malformed sequence gives U+FFFD for its first byte alone.
        const bool bMalformed = nCode == kReplacementCharacter && pos - nStart == 1;
        if (nCode >= 0x20 && nCode < 0x7F && nCode != '"' && nCode != '\\')
        {
            strJson += static_cast<char>(nCode); // printable ASCII, the common case
        }
        else if (nCode == '"' || nCode == '\\')
        {
            strJson += '\\';
            strJson += static_cast<char>(nCode);
        }
        else if (IsEscapedCodePoint(nCode) || (charset == PeerCharset::Ascii && nCode >= 0x80))
        {
            if (nCode > 0xFFFF)
            {
                AppendEscape(strJson, 0xD800 + ((nCode - 0x10000) >> 10));
                AppendEscape(strJson, 0xDC00 + ((nCode - 0x10000) & 0x3FF));
            }
            else
            {
                AppendEscape(strJson, nCode);
            }
        }
        else if (bMalformed)
        {
            strJson += "\xEF\xBF\xBD";
        }
        else
        {
            strJson.append(strText, nStart, pos - nStart);
        }
    }
    return strJson + '"';
}

std::string JsonLine(const nlohmann::ordered_json& value)
{
    if (value.is_string())
        return JsonString(value.get_ref<const std::string&>());
    if (!value.is_structured())
        return value.dump();
    std::string strLine;
    for (const auto& member : value.items())
    {
        strLine += strLine.empty() ? "" : ", ";
        if (value.is_object())
            strLine += JsonString(member.key()) + ": ";
        strLine += JsonLine(member.value());
    }
    return value.is_object() ? "{" + strLine + "}" : "[" + strLine + "]";
}

std::string JsonDocument(const nlohmann::ordered_json& document)
{
    if (!document.is_structured())
        return JsonLine(document) + "\n";
    const bool bObject = document.is_object();
    std::string strText(1, bObject ? '{' : '[');
    const char* pszSeparator = "\n  ";
    for (const auto& member : document.items())
    {
        strText += pszSeparator;
        if (bObject)
            strText += JsonString(member.key()) + ": ";
        const nlohmann::ordered_json& value = member.value();
        if (value.is_array() && !value.empty())
        {
            const char* pszElementSeparator = "[\n    ";
            for (const nlohmann::ordered_json& element : value)
            {
                strText += pszElementSeparator + JsonLine(element);
                pszElementSeparator = ",\n    ";
            }
            strText += "\n  ]";
        }
        else
        {
            strText += JsonLine(value);
        }
        pszSeparator = ",\n  ";
    }
    return strText + (bObject ? "\n}\n" : "\n]\n");
}
