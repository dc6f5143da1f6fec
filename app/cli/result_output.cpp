#include "app/cli/result_output.h"

#include "app/cli/ipv6_output.h"
#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/model/list_text.h"
#include "core/model/requested_options.h"
#include "core/model/result_rows.h"
#include "core/model/tsv_text.h"
#include "core/wire/hex_text.h"
#include "platform/local_time.h"

#include <algorithm>

namespace
{
std::string FirstOf(const AddressList& addresses)
{
    return addresses.empty() ? std::string() : addresses.front();
}

bool IsLinkLocal(const std::string& address)
{
    return address.compare(0, 5, "fe80:") == 0;
}

// A link-local address is on every adapter and says least of them.
std::string ShownIpv6Address(const AddressList& addresses)
{
    const auto global =
        std::find_if(addresses.begin(), addresses.end(),
                     [](const std::string& address) { return !IsLinkLocal(address); });
    return global != addresses.end() ? *global : FirstOf(addresses);
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

std::string FormatJson(const Lease* ipv4, const Ipv6Part* ipv6)
{
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const DhcpOption& option :
         ipv4 != nullptr ? DecodeRequestedOptions(ipv4->m_mapOptions) : DhcpOptionList())
    {
        const auto code = static_cast<std::uint8_t>(option.m_nCode);
        const OptionBytes& bytes = ipv4->m_mapOptions.at(code);
        const auto source = ipv4->m_mapSources.find(code);
        rows.push_back(nlohmann::ordered_json{
            {"family", "ipv4"},
            {"code", option.m_nCode},
            {"parameter", option.m_strParameter},
            {"data", option.m_strData},
            {"hex", HexText(bytes.data(), bytes.size())},
            {"source", source != ipv4->m_mapSources.end() ? source->second : ""},
        });
    }
    if (ipv6 != nullptr)
    {
        for (auto& row : Ipv6RowsJson(*ipv6))
            rows.push_back(std::move(row));
    }
    return JsonDocument(rows);
}

AdapterList AdaptersShown(const AdapterList& adapters, AddressFamilies families)
{
    AdapterList shown;
    for (const AdapterInfo& adapter : adapters)
    {
        if (families != AddressFamilies::Ipv6 || !adapter.m_Ipv6Addresses.empty())
            shown.push_back(adapter);
    }
    return shown;
}

std::string FormatAdapters(const AdapterList& adapters, AddressFamilies families)
{
    const AdapterList shown = AdaptersShown(adapters, families);
    if (shown.empty())
        return "No Interfaces Present\n";
    const bool ipv4 = families != AddressFamilies::Ipv6;
    // Beside IPv4, a column only where an address says more than the
    // link-local one every adapter has.
    const bool ipv6 = families == AddressFamilies::Ipv6 ||
                      (families == AddressFamilies::Both &&
                       std::any_of(shown.begin(), shown.end(),
                                   [](const AdapterInfo& adapter)
                                   {
                                       const std::string address =
                                           ShownIpv6Address(adapter.m_Ipv6Addresses);
                                       return !address.empty() && !IsLinkLocal(address);
                                   }));
    std::vector<std::vector<std::string>> lines{{"Hardware Address", "Name", "Description"}};
    if (ipv4)
        lines[0].insert(lines[0].end(), {"IPv4 Address", "DHCP Server"});
    if (ipv6)
        lines[0].push_back("IPv6 Address");
    for (const AdapterInfo& adapter : shown)
    {
        std::vector<std::string> line{adapter.m_strMacAddress, adapter.m_strAdapterName,
                                      adapter.m_strDescription};
        if (ipv4)
            line.insert(line.end(),
                        {FirstOf(adapter.m_IpAddresses), FirstOf(adapter.m_DhcpServers)});
        if (ipv6)
            line.push_back(ShownIpv6Address(adapter.m_Ipv6Addresses));
        lines.push_back(std::move(line));
    }
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

std::string FormatAdaptersJson(const AdapterList& adapters, AddressFamilies families)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const AdapterInfo& adapter : AdaptersShown(adapters, families))
    {
        nlohmann::ordered_json object{
            {"name", adapter.m_strAdapterName},
            {"hardware_address", adapter.m_strMacAddress},
            {"description", adapter.m_strDescription},
            {"type", adapter.m_nType},
            {"ipv4_addresses", Addresses(adapter.m_IpAddresses)},
        };
        if (families != AddressFamilies::Ipv4)
            object["ipv6_addresses"] = Addresses(adapter.m_Ipv6Addresses);
        object["subnet_mask"] = adapter.m_strSubnetMask;
        object["gateways"] = Addresses(adapter.m_Gateways);
        object["dhcp_enabled"] = adapter.m_bDhcpEnabled != 0;
        object["dhcp_servers"] = Addresses(adapter.m_DhcpServers);
        object["dns_servers"] = Addresses(adapter.m_DnsServers);
        object["lease_obtained"] = Moment(adapter.m_tLeaseObtained);
        object["lease_expires"] = Moment(adapter.m_tLeaseExpires);
        list.push_back(std::move(object));
    }
    return JsonDocument(list);
}
