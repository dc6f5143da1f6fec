#include "app/cli/result_output.h"

#include "app/cli/text_columns.h"
#include "core/model/list_text.h"
#include "core/model/requested_options.h"
#include "core/model/result_rows.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>

namespace
{
std::string Hex(const OptionBytes& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string strHex;
    for (const std::uint8_t byte : bytes)
    {
        strHex += kDigits[byte >> 4];
        strHex += kDigits[byte & 0x0F];
    }
    return strHex;
}

// nlohmann writes a control character as \n or \u001b and DEL as it is;
// this command has always written each of them as \u00XX in capitals, and
// its output stays what it was. strJson is one string as nlohmann wrote it.
std::string RespellControls(const std::string& strJson)
{
    std::string strOut;
    for (std::size_t i = 0; i < strJson.size(); ++i)
    {
        long nControl = -1;
        if (strJson[i] == '\x7F')
        {
            nControl = 0x7F;
        }
        else if (strJson[i] == '\\')
        {
            // An escape has its letter; a \u escape its four hex digits.
            switch (strJson[++i])
            {
            case 'b':
                nControl = '\b';
                break;
            case 't':
                nControl = '\t';
                break;
            case 'n':
                nControl = '\n';
                break;
            case 'f':
                nControl = '\f';
                break;
            case 'r':
                nControl = '\r';
                break;
            case 'u':
                nControl = std::strtol(strJson.substr(i + 1, 4).c_str(), nullptr, 16);
                i += 4;
                break;
            default: // \" and \\ stay
                strOut += '\\';
                break;
            }
        }
        if (nControl < 0)
        {
            strOut += strJson[i];
            continue;
        }
        char szEscape[8];
        std::snprintf(szEscape, sizeof szEscape, "\\u%04X",
                      static_cast<unsigned>(nControl & 0xFFFF));
        strOut += szEscape;
    }
    return strOut;
}

// A text of untrusted origin as a JSON string: each ill-formed UTF-8
// sequence becomes U+FFFD, so the output is valid JSON whatever the network
// sent.
std::string JsonString(const std::string& strText)
{
    return RespellControls(
        nlohmann::json(strText).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

std::string FirstOf(const AddressList& addresses)
{
    return addresses.empty() ? std::string() : addresses.front();
}
} // namespace

std::string FormatRows(const DhcpOptionList& options)
{
    std::vector<std::vector<std::string>> lines{{"DHCP Parameter", "DHCP Data"}};
    for (const ResultRow& row : BuildResultRows(options))
        lines.push_back({row.strParameter, row.strData});
    return FormatColumns(lines);
}

std::string FormatTsv(const DhcpOptionList& options)
{
    CellTable table;
    for (const ResultRow& row : BuildResultRows(options))
        table.push_back({row.strParameter, row.strData});
    return BuildListText(table);
}

// nlohmann writes each value; the layout, one object a line with a space
// after each colon and comma, is ours.
std::string FormatJson(const Lease& lease)
{
    std::string strJson = "[";
    const char* pszSeparator = "\n";
    for (const DhcpOption& option : DecodeRequestedOptions(lease.m_mapOptions))
    {
        const auto nCode = static_cast<std::uint8_t>(option.m_nCode);
        const auto source = lease.m_mapSources.find(nCode);
        strJson += pszSeparator;
        strJson += "  {\"code\": " + std::to_string(option.m_nCode) +
                   ", \"parameter\": " + JsonString(option.m_strParameter) +
                   ", \"data\": " + JsonString(option.m_strData) +
                   ", \"hex\": " + JsonString(Hex(lease.m_mapOptions.at(nCode))) +
                   ", \"source\": " +
                   JsonString(source != lease.m_mapSources.end() ? source->second : "") + "}";
        pszSeparator = ",\n";
    }
    return strJson + "\n]\n";
}

std::string FormatAdapters(const AdapterList& adapters)
{
    if (adapters.empty())
        return "No Interfaces Present\n";
    std::vector<std::vector<std::string>> lines{
        {"Hardware Address", "Name", "Description", "IPv4 Address", "DHCP Server"}};
    for (const AdapterInfo& adapter : adapters)
        lines.push_back({adapter.m_strMacAddress, adapter.m_strAdapterName,
                         adapter.m_strDescription, FirstOf(adapter.m_IpAddresses),
                         FirstOf(adapter.m_DhcpServers)});
    return FormatColumns(lines);
}
