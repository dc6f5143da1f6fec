#include "app/cli/result_output.h"

#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/model/list_text.h"
#include "core/model/requested_options.h"
#include "core/model/result_rows.h"

#include <cstdio>

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
