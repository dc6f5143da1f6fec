#include "app/cli/result_output.h"

#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/model/list_text.h"
#include "core/model/requested_options.h"
#include "core/model/result_rows.h"
#include "core/model/tsv_text.h"
#include "core/wire/hex_text.h"
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

std::string FormatJson(const Lease& lease)
{
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const DhcpOption& option : DecodeRequestedOptions(lease.m_mapOptions))
    {
        const auto code = static_cast<std::uint8_t>(option.m_nCode);
        const OptionBytes& bytes = lease.m_mapOptions.at(code);
        const auto source = lease.m_mapSources.find(code);
        rows.push_back(nlohmann::ordered_json{
            {"family", "ipv4"},
            {"code", option.m_nCode},
            {"parameter", option.m_strParameter},
            {"data", option.m_strData},
            {"hex", HexText(bytes.data(), bytes.size())},
            {"source", source != lease.m_mapSources.end() ? source->second : ""},
        });
    }
    return JsonDocument(rows);
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
nlohmann::ordered_json Addresses(const AddressList& addresses)
{
    return nlohmann::ordered_json(std::vector<std::string>(addresses.begin(), addresses.end()));
}

// Zero is what the adapter source keeps for a time it does not know.
nlohmann::ordered_json Moment(std::int64_t calendarTime)
{
    const std::string text = calendarTime != 0 ? FormatIso8601LocalTime(calendarTime) : "";
    return text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(text);
}
} // namespace

std::string FormatAdaptersJson(const AdapterList& adapters)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const AdapterInfo& adapter : adapters)
        list.push_back(nlohmann::ordered_json{
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
        });
    return JsonDocument(list);
}
