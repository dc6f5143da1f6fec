#include "app/cli/ipv6_output.h"

#include "app/cli/text_columns.h"
#include "core/model/tsv_text.h"
#include "core/options/dhcpv6_decoder.h"
#include "core/wire/hex_text.h"
#include "core/wire/ipv6_text.h"

#include <utility>
#include <vector>

namespace
{
using Lines = std::vector<std::vector<std::string>>;

CellTable HeadedCells(const Ipv6Part& part, bool shown)
{
    CellTable table{{kIpv6Heading, ""}};
    for (const ResultRow& row : BuildIpv6Rows(part))
        table.push_back(shown ? CellRow{TerminalSafe(row.strParameter), TerminalSafe(row.strData)}
                              : CellRow{row.strParameter, row.strData});
    return table;
}

nlohmann::ordered_json Lifetime(const std::optional<std::uint32_t>& seconds)
{
    return seconds ? nlohmann::ordered_json(*seconds) : nlohmann::ordered_json();
}

// The members after "family" and "kind".
nlohmann::ordered_json Kind(const char* kind, const nlohmann::ordered_json& members)
{
    nlohmann::ordered_json object{{"family", "ipv6"}, {"kind", kind}};
    for (const auto& member : members.items())
        object[member.key()] = member.value();
    return object;
}

// The leases of the part that hold options: the lease, the answer.
std::vector<const Lease6*> Leases(const Ipv6Part& part)
{
    std::vector<const Lease6*> leases;
    if (part.leaseError == 0)
        leases.push_back(&part.lease);
    if (part.informAsked && part.informError == 0)
        leases.push_back(&part.inform);
    return leases;
}

// The option lines of one lease for --all.
void AppendOptionLines(const Lease6& lease, Lines& lines)
{
    auto each = lease.options.begin();
    for (const ExtendedOption& option : DecodeAllOptions6(lease.options, ExtendedParts::Text))
        lines.push_back({std::to_string(option.m_nCode), std::string(option.m_name),
                         lease.cutOptions.count((each++)->code) != 0
                             ? option.m_strText + kMayBeCutMark
                             : option.m_strText});
    for (const UnmappedOption6& unmapped : lease.unmapped)
        lines.push_back(
            {unmapped.code ? std::to_string(*unmapped.code) : "", unmapped.name, unmapped.text});
}

// The rows of BuildIpv6Rows with each part's options as --all shows them.
Lines AllLines(const Ipv6Part& part)
{
    Lines lines;
    const std::vector<ResultRow> rows = BuildIpv6Rows(part);
    for (const ResultRow& row : rows)
    {
        if (row.nImage != kImageAdapter)
            continue;
        lines.push_back({"", row.strParameter, row.strData});
        if (row.strParameter == "DHCPv6 Lease" && part.leaseError == 0)
            AppendOptionLines(part.lease, lines);
        else if (row.strParameter == "DHCPv6 Information-request" && part.informError == 0)
            AppendOptionLines(part.inform, lines);
    }
    if (part.routersError == 0)
    {
        for (const ResultRow& row : BuildRouterRows(part.routers))
            lines.push_back({"", row.strParameter, row.strData});
    }
    return lines;
}
} // namespace

std::string FormatIpv6Rows(const Ipv6Part& part)
{
    Lines lines{{"IPv6 Parameter", "IPv6 Data"}};
    for (const ResultRow& row : BuildIpv6Rows(part))
        lines.push_back({row.strParameter, row.strData});
    return FormatColumns(lines);
}

std::string FormatIpv6Tsv(const Ipv6Part& part)
{
    return BuildTsvText(HeadedCells(part, false));
}

std::string FormatIpv6CopyAll(const Ipv6Part& part)
{
    return BuildListText(HeadedCells(part, false));
}

std::string FormatIpv6CopyAllShown(const Ipv6Part& part)
{
    return TerminalSafeLines(BuildListText(HeadedCells(part, true)));
}

nlohmann::ordered_json RouterAdvertisementJson(const RouterAdvertisements& routers)
{
    std::vector<std::string> servers;
    for (const Ipv6Address& server : routers.dnsServers)
        servers.push_back(Ipv6Text(server.data()));
    return {
        {"received", routers.received},
        {"managed", routers.managed},
        {"other_config", routers.otherConfig},
        {"mtu", routers.mtu ? nlohmann::ordered_json(*routers.mtu) : nlohmann::ordered_json()},
        {"dns_servers", servers},
        {"search_domains", routers.searchDomains},
        {"dns_source", routers.dnsSource},
    };
}

nlohmann::ordered_json RouterJson(const LearnedRouter& router)
{
    return {
        {"address", Ipv6Text(router.address.data())},
        {"preference", RouterPreferenceName(router.preference)},
        {"lifetime", Lifetime(router.lifetime)},
        {"metric", router.metric},
    };
}

nlohmann::ordered_json PrefixJson(const LearnedPrefix& prefix)
{
    nlohmann::ordered_json object{
        {"prefix", PrefixText(prefix)},
        {"on_link", prefix.onLink},
        {"autonomous", prefix.autonomous},
        {"valid_lifetime", Lifetime(prefix.validLifetime)},
    };
    if (prefix.autonomous)
        object["preferred_lifetime"] = Lifetime(prefix.preferredLifetime);
    return object;
}

nlohmann::ordered_json Ipv6RowsJson(const Ipv6Part& part)
{
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const Lease6* lease : Leases(part))
    {
        auto each = lease->options.begin();
        for (const ExtendedOption& option : DecodeAllOptions6(lease->options, ExtendedParts::Text))
        {
            const OptionBytes& bytes = (each++)->data;
            rows.push_back({
                {"family", "ipv6"},
                {"code", option.m_nCode},
                {"parameter", option.m_name},
                {"data", option.m_strText},
                {"hex", HexText(bytes.data(), bytes.size())},
                {"source", lease->source},
            });
        }
    }
    if (part.routersError != 0)
        return rows;
    rows.push_back(Kind("router_advertisement", RouterAdvertisementJson(part.routers)));
    for (const LearnedRouter& router : part.routers.routers)
        rows.push_back(Kind("router", RouterJson(router)));
    for (const LearnedPrefix& prefix : part.routers.prefixes)
        rows.push_back(Kind("prefix", PrefixJson(prefix)));
    return rows;
}

std::string FormatAllIpv6Rows(const Ipv6Part& part)
{
    Lines lines{{"Code", "Option", "Value"}};
    for (auto& line : AllLines(part))
        lines.push_back(std::move(line));
    return FormatColumns(lines);
}

std::string FormatAllIpv6Tsv(const Ipv6Part& part)
{
    Lines lines{{"", kIpv6Heading, ""}};
    for (auto& line : AllLines(part))
        lines.push_back(std::move(line));
    return BuildTsvText(lines);
}

nlohmann::ordered_json AllIpv6OptionsJson(const Ipv6Part& part)
{
    nlohmann::ordered_json options = nlohmann::ordered_json::array();
    for (const Lease6* lease : Leases(part))
    {
        auto each = lease->options.begin();
        for (const ExtendedOption& option : DecodeAllOptions6(lease->options))
        {
            const Dhcpv6Option& raw = *each++;
            nlohmann::ordered_json object{{"family", "ipv6"}};
            const nlohmann::ordered_json decoded = ExtendedOptionJson(option, raw.data);
            for (const auto& member : decoded.items())
                object[member.key()] = member.value();
            if (lease->cutOptions.count(raw.code) != 0)
                object["cut"] = true;
            object["source"] = lease->source;
            options.push_back(std::move(object));
        }
    }
    return options;
}

nlohmann::ordered_json UnmappedIpv6Json(const Ipv6Part& part)
{
    nlohmann::ordered_json unmapped = nlohmann::ordered_json::array();
    for (const Lease6* lease : Leases(part))
    {
        for (const UnmappedOption6& line : lease->unmapped)
            unmapped.push_back({
                {"family", "ipv6"},
                {"code", line.code ? nlohmann::ordered_json(*line.code) : nlohmann::ordered_json()},
                {"name", line.name},
                {"text", line.text},
                {"source", lease->source},
            });
    }
    return unmapped;
}
