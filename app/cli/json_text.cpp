#include "app/cli/json_text.h"

#include <cstdio>
#include <cstdlib>

namespace
{
std::string Escape(unsigned nControl)
{
    char szEscape[8];
    std::snprintf(szEscape, sizeof szEscape, "\\u%04X", nControl & 0xFFFF);
    return szEscape;
}

// nlohmann writes a control character as \n or \u001b, and DEL and the C1
// controls as they are; this command writes each of them as \u00XX in
// capitals. strJson is one string as nlohmann wrote it, well-formed UTF-8.
std::string RespellControls(const std::string& strJson)
{
    std::string strOut;
    for (std::size_t i = 0; i < strJson.size(); ++i)
    {
        const auto nByte = static_cast<unsigned char>(strJson[i]);
        if (nByte == 0x7F)
        {
            strOut += Escape(nByte);
        }
        else if (nByte == 0xC2 && i + 1 < strJson.size() &&
                 static_cast<unsigned char>(strJson[i + 1]) < 0xA0)
        {
            strOut += Escape(static_cast<unsigned char>(strJson[++i]));
        }
        else if (nByte != '\\')
        {
            strOut += strJson[i];
        }
        else
        {
            // An escape has its letter; a \u escape its four hex digits.
            switch (strJson[++i])
            {
            case 'b':
                strOut += Escape('\b');
                break;
            case 't':
                strOut += Escape('\t');
                break;
            case 'n':
                strOut += Escape('\n');
                break;
            case 'f':
                strOut += Escape('\f');
                break;
            case 'r':
                strOut += Escape('\r');
                break;
            case 'u':
                strOut += Escape(static_cast<unsigned>(
                    std::strtoul(strJson.substr(i + 1, 4).c_str(), nullptr, 16)));
                i += 4;
                break;
            default: // \" and \\ stay
                strOut += '\\';
                strOut += strJson[i];
                break;
            }
        }
    }
    return strOut;
}
} // namespace

std::string JsonString(const std::string& strText)
{
    return RespellControls(
        nlohmann::json(strText).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
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
