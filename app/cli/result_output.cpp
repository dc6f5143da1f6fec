#include "app/cli/result_output.h"

#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/model/list_text.h"
#include "core/model/requested_options.h"
#include "core/model/result_rows.h"
#include "core/model/tsv_text.h"
#include "core/options/extended_decoder.h"
#include "platform/local_time.h"

namespace
{
std::string FirstOf(const AddressList& addresses)
{
    return addresses.empty() ? std::string() : addresses.front();
}

// The window's rows under the window's column titles.
std::vector<std::vector<std::string>> TitledRows(const DhcpOptionList& options)
{
    std::vector<std::vector<std::string>> lines{{"DHCP Parameter", "DHCP Data"}};
    for (const ResultRow& row : BuildResultRows(options))
        lines.push_back({row.strParameter, row.strData});
    return lines;
}
} // namespace

std::string FormatRows(const DhcpOptionList& options)
{
    return FormatColumns(TitledRows(options));
}

std::string FormatTsv(const DhcpOptionList& options)
{
    return BuildTsvText(TitledRows(options));
}

std::string FormatCopyAll(const DhcpOptionList& options)
{
    CellTable table;
    for (const ResultRow& row : BuildResultRows(options))
        table.push_back({row.strParameter, row.strData});
    return BuildListText(table);
}

std::string FormatCopyAllShown(const DhcpOptionList& options)
{
    CellTable table;
    for (const ResultRow& row : BuildResultRows(options))
        table.push_back({TerminalSafe(row.strParameter), TerminalSafe(row.strData)});
    return TerminalSafeLines(BuildListText(table));
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
        const OptionBytes& bytes = lease.m_mapOptions.at(nCode);
        const auto source = lease.m_mapSources.find(nCode);
        strJson += pszSeparator;
        strJson += "  {\"code\": " + std::to_string(option.m_nCode) +
                   ", \"parameter\": " + JsonString(option.m_strParameter) +
                   ", \"data\": " + JsonString(option.m_strData) +
                   ", \"hex\": " + JsonString(HexText(bytes.data(), bytes.size())) +
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

namespace
{
nlohmann::json Addresses(const AddressList& addresses)
{
    return nlohmann::json(std::vector<std::string>(addresses.begin(), addresses.end()));
}

// Zero is what the adapter source keeps for a time it does not know.
nlohmann::json Moment(std::int64_t calendarTime)
{
    const std::string strText = calendarTime != 0 ? FormatIso8601LocalTime(calendarTime) : "";
    return strText.empty() ? nlohmann::json() : nlohmann::json(strText);
}
} // namespace

std::string FormatAdaptersJson(const AdapterList& adapters)
{
    std::string strJson = "[";
    const char* pszSeparator = "\n";
    for (const AdapterInfo& adapter : adapters)
    {
        const nlohmann::ordered_json object = {
            {"name", adapter.m_strAdapterName},
            {"hardware_address", adapter.m_strMacAddress},
            {"description", adapter.m_strDescription},
            {"type", adapter.m_nType},
            {"ipv4_addresses", Addresses(adapter.m_IpAddresses)},
            {"subnet_mask", adapter.m_strSubnetMask},
            {"gateways", Addresses(adapter.m_Gateways)},
            {"dhcp_enabled", adapter.m_bDhcpEnabled != 0},
            {"dhcp_servers", Addresses(adapter.m_DhcpServers)},
            {"dns_servers", Addresses(adapter.m_DnsServers)},
            {"lease_obtained", Moment(adapter.m_tLeaseObtained)},
            {"lease_expires", Moment(adapter.m_tLeaseExpires)},
        };
        strJson += pszSeparator;
        strJson += "  " + JsonLine(object);
        pszSeparator = ",\n";
    }
    return strJson + "\n]\n";
}
