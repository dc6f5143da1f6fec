#include "app/cli/all_options_output.h"

#include "app/cli/ipv6_output.h"
#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/model/lease_moments.h"
#include "core/model/tsv_text.h"
#include "core/options/extended_decoder.h"
#include "platform/local_time.h"

#include <optional>
#include <utility>
#include <vector>

namespace
{
using Lines = std::vector<std::vector<std::string>>;

struct Moment
{
    const char* label; // the rows' and the TSV's
    const char* key;   // the JSON's
    std::optional<std::int64_t> LeaseMoments::*time;
};

constexpr Moment kMoments[] = {
    {"Obtained", "obtained", &LeaseMoments::m_tObtained},
    {"Renewal (T1)", "renewal", &LeaseMoments::m_tRenewal},
    {"Rebinding (T2)", "rebinding", &LeaseMoments::m_tRebinding},
    {"Expiry", "expiry", &LeaseMoments::m_tExpiry},
};

// The moment as ISO 8601 local time; empty where it is unknown or has no
// ISO form.
std::string MomentText(const LeaseMoments& moments, const Moment& moment)
{
    const std::optional<std::int64_t>& time = moments.*moment.time;
    return time ? FormatIso8601LocalTime(*time) : std::string();
}

// The options in code order, then the lines no bytes could be made of.
Lines OptionLines(const Lease& lease)
{
    Lines lines{{"Code", "Option", "Value"}};
    // The decoded options come in the map's order.
    auto code = lease.m_mapOptions.begin();
    for (const ExtendedOption& option : DecodeAllOptions(lease.m_mapOptions, ExtendedParts::Text))
        lines.push_back({std::to_string(option.m_nCode), std::string(option.m_name),
                         lease.m_CutOptions.count((code++)->first) != 0
                             ? option.m_strText + kMayBeCutMark
                             : option.m_strText});
    for (const UnmappedOption& unmapped : lease.m_Unmapped)
        lines.push_back({unmapped.m_nCode ? std::to_string(*unmapped.m_nCode) : "",
                         unmapped.m_strName, unmapped.m_strText});
    return lines;
}

Lines MomentLines(const Lease& lease)
{
    const LeaseMoments moments = LeaseMomentsOf(lease);
    Lines lines;
    for (const Moment& moment : kMoments)
    {
        std::string text = MomentText(moments, moment);
        if (!text.empty())
            lines.push_back({moment.label, std::move(text)});
    }
    return lines;
}
} // namespace

std::string FormatAllRows(const Lease& lease)
{
    const Lines moments = MomentLines(lease);
    std::string text = FormatColumns(OptionLines(lease));
    if (!moments.empty())
        text += "\n" + FormatColumns(moments);
    return text;
}

std::string FormatAllTsv(const Lease& lease)
{
    Lines lines = OptionLines(lease);
    for (const auto& moment : MomentLines(lease))
        lines.push_back({"", moment[0], moment[1]});
    return BuildTsvText(lines);
}

nlohmann::ordered_json AllOptionsJson(const Lease& lease)
{
    nlohmann::ordered_json options = nlohmann::ordered_json::array();
    auto each = lease.m_mapOptions.begin();
    for (const ExtendedOption& option : DecodeAllOptions(lease.m_mapOptions))
    {
        const auto& [code, bytes] = *each++;
        const nlohmann::ordered_json decoded = ExtendedOptionJson(option, bytes);
        // The decoder's members in the order people read them, any it adds
        // later after them.
        nlohmann::ordered_json object{{"family", "ipv4"}};
        for (const char* key : {"code", "name", "value", "text", "hex"})
            object[key] = decoded.at(key);
        for (const auto& member : decoded.items())
        {
            if (!object.contains(member.key()))
                object[member.key()] = member.value();
        }
        if (lease.m_CutOptions.count(code) != 0)
            object["cut"] = true;
        const auto source = lease.m_mapSources.find(code);
        object["source"] = source != lease.m_mapSources.end() ? source->second : "";
        options.push_back(std::move(object));
    }
    return options;
}

nlohmann::ordered_json UnmappedOptionsJson(const Lease& lease)
{
    nlohmann::ordered_json unmapped = nlohmann::ordered_json::array();
    for (const UnmappedOption& line : lease.m_Unmapped)
    {
        nlohmann::ordered_json object{{"family", "ipv4"}};
        object["code"] = line.m_nCode ? nlohmann::ordered_json(*line.m_nCode) : nullptr;
        object["name"] = line.m_strName;
        object["text"] = line.m_strText;
        object["source"] = line.m_strSource;
        unmapped.push_back(std::move(object));
    }
    return unmapped;
}

nlohmann::ordered_json LeaseMomentsJson(const Lease& lease)
{
    const LeaseMoments moments = LeaseMomentsOf(lease);
    nlohmann::ordered_json object;
    for (const Moment& moment : kMoments)
    {
        const std::string text = MomentText(moments, moment);
        object[moment.key] = text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(text);
    }
    return object;
}

std::string FormatAllJson(const std::string& adapter, const Lease& lease, const Ipv6Part* ipv6)
{
    nlohmann::ordered_json document{
        {"adapter", adapter},
        {"options", AllOptionsJson(lease)},
        {"unmapped", UnmappedOptionsJson(lease)},
        {"lease", LeaseMomentsJson(lease)},
    };
    if (ipv6 == nullptr)
        return JsonDocument(document);
    for (auto& option : AllIpv6OptionsJson(*ipv6))
        document["options"].push_back(std::move(option));
    for (auto& line : UnmappedIpv6Json(*ipv6))
        document["unmapped"].push_back(std::move(line));
    const bool leased = ipv6->leaseError == 0;
    const std::string obtained = leased && ipv6->lease.obtained
                                     ? FormatIso8601LocalTime(*ipv6->lease.obtained)
                                     : std::string();
    document["lease6"] = {
        {"source", leased ? ipv6->lease.source : ""},
        {"obtained",
         obtained.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(obtained)},
    };
    const RouterAdvertisements none;
    const RouterAdvertisements& routers = ipv6->routersError == 0 ? ipv6->routers : none;
    document["router_advertisement"] = RouterAdvertisementJson(routers);
    document["routers"] = nlohmann::ordered_json::array();
    for (const LearnedRouter& router : routers.routers)
        document["routers"].push_back(RouterJson(router));
    document["prefixes"] = nlohmann::ordered_json::array();
    for (const LearnedPrefix& prefix : routers.prefixes)
        document["prefixes"].push_back(PrefixJson(prefix));
    return JsonDocument(document);
}
