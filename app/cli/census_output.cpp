#include "app/cli/census_output.h"
#include "core/model/ipv6_rows.h"

#include "app/cli/census_names.h"
#include "app/cli/discover_output.h"
#include "app/cli/text_columns.h"
#include "core/options/dhcpv6_decoder.h"

#include <algorithm>

namespace
{
constexpr std::uint16_t kOptionIaNa = 3;
constexpr std::uint16_t kOptionIaAddress = 5;
constexpr std::uint16_t kOptionDnsServers6 = 23;
constexpr std::uint16_t kOptionDomains6 = 24;
constexpr std::uint16_t kOptionIaPd = 25;
constexpr std::uint16_t kOptionIaPrefix = 26;
constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

using Rows = std::vector<std::vector<std::string>>;

std::string Spaced(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : " ") + item;
    return text;
}

std::string Plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The members named of each nested option of the code in an IA's value.
void AddNested(const nlohmann::ordered_json& ia, std::uint16_t code, const char* member,
               std::vector<std::string>& into)
{
    if (!ia.is_object() || !ia.contains("options"))
        return;
    for (const auto& nested : ia["options"])
    {
        if (nested.value("code", 0) == code && !nested.contains("malformed") &&
            nested["value"].is_object() && nested["value"].contains(member))
            into.push_back(nested["value"][member].get<std::string>());
    }
}

void AddStrings(const nlohmann::ordered_json& value, std::vector<std::string>& into)
{
    if (!value.is_array())
        return;
    for (const auto& item : value)
    {
        if (item.is_string())
            into.push_back(item.get<std::string>());
    }
}

template <typename Responder>
std::vector<const Responder*> FlaggedFirst(const std::vector<Responder>& responders)
{
    std::vector<const Responder*> shown;
    for (const Responder& responder : responders)
        shown.push_back(&responder);
    std::stable_partition(shown.begin(), shown.end(),
                          [](const Responder* responder) { return responder->flags != 0; });
    return shown;
}

std::string Server6Text(const DiscoveredServer6& server, bool all)
{
    const Server6Offer offer = ReadServer6Offer(server);
    Rows rows = {{"DHCPv6 server", DuidText(server.duid)},
                 {"  From", AddressText(server.path.address) + " " + MacString(server.path.mac)},
                 {"  Preference", std::to_string(server.preference)},
                 {"  Addresses", Spaced(offer.addresses)},
                 {"  Prefixes", Spaced(offer.prefixes)},
                 {"  DNS Servers", Spaced(offer.dnsServers)},
                 {"  Domains", Spaced(offer.domains)}};
    if (server.flags != 0)
        rows.push_back({"  Flags", JoinedFlags(Server6FlagTexts(server))});
    std::string text = FormatColumns(rows);
    if (!all)
        return text;
    Rows options = {{"Code", "Option", "Value"}};
    for (const ExtendedOption& option : DecodeAllOptions6(server.options, ExtendedParts::Text))
        options.push_back(
            {std::to_string(option.m_nCode), std::string(option.m_name), option.m_strText});
    return text + "\nAdvertise of duid:" + DuidHex(server.duid) + "\n" + FormatColumns(options);
}

std::string RouterText(const AdvertisedRouter& router)
{
    Rows rows = {{"Router", RouterPathText(router)},
                 {"  Lifetime", router.lifetime == 0 ? "0 s (not a default router)"
                                                     : std::to_string(router.lifetime) + " s"},
                 {"  Preference", RouterPreferenceName(router.preference)},
                 {"  Managed (M)", router.managed ? "yes" : "no"},
                 {"  Other (O)", router.otherConfig ? "yes" : "no"}};
    for (const AdvertisedPrefix& prefix : router.prefixes)
    {
        std::vector<std::string> flags;
        if (prefix.onLink)
            flags.push_back("on-link");
        if (prefix.autonomous)
            flags.push_back("autonomous");
        rows.push_back({"  Prefix", AddressText(prefix.prefix) + "/" +
                                        std::to_string(prefix.length) + " " +
                                        (flags.empty() ? "-" : JoinedFlags(flags)) + " valid " +
                                        LifetimeText(prefix.validLifetime) + " preferred " +
                                        LifetimeText(prefix.preferredLifetime)});
    }
    if (router.mtu)
        rows.push_back({"  MTU", std::to_string(*router.mtu)});
    for (const AdvertisedDnsServers& dns : router.dnsServers)
    {
        std::vector<std::string> servers;
        for (const Ipv6Address& server : dns.servers)
            servers.push_back(AddressText(server));
        rows.push_back({"  RDNSS", Spaced(servers) + " (" + LifetimeText(dns.lifetime) + ")"});
    }
    for (const AdvertisedSearchList& list : router.searchLists)
        rows.push_back(
            {"  DNSSL", Spaced(list.domains) + " (" + LifetimeText(list.lifetime) + ")"});
    if (router.flags != 0)
        rows.push_back({"  Flags", JoinedFlags(RouterFlagTexts(router))});
    return FormatColumns(rows);
}

std::string VlanText(const CensusResult& result, const VlanCensus& vlan, bool all)
{
    const std::string heading = vlan.probe.vlan ? "VLAN " + std::to_string(*vlan.probe.vlan) : "";
    if (!HeardAnything(vlan, result.families))
        return (heading.empty() ? "Nothing answered: " : heading + ": nothing answered: ") +
               SilenceReason(result, vlan) + "\n";
    std::vector<std::string> parts;
    if ((result.families & kCensusDhcpv4) != 0 && !vlan.servers.empty())
        parts.push_back(FormatServerTable(vlan.servers, all));
    if ((result.families & kCensusDhcpv6) != 0)
    {
        for (const DiscoveredServer6* server : FlaggedFirst(vlan.servers6))
            parts.push_back(Server6Text(*server, all));
    }
    if ((result.families & kCensusRouters) != 0)
    {
        for (const AdvertisedRouter* router : FlaggedFirst(vlan.routers))
            parts.push_back(RouterText(*router));
    }
    std::string text = heading.empty() ? "" : heading + "\n";
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : "\n") + parts[i];
    return text;
}

struct SummaryRow
{
    CensusFamily family;
    const char* title;
    const char* one;
    const char* many;
    std::size_t (*count)(const VlanCensus&);
};

constexpr SummaryRow kSummaries[] = {
    {kCensusDhcpv4, "DHCPv4", "server", "servers",
     [](const VlanCensus& v) { return v.servers.size(); }},
    {kCensusDhcpv6, "DHCPv6", "server", "servers",
     [](const VlanCensus& v) { return v.servers6.size(); }},
    {kCensusRouters, "Routers", "router", "routers",
     [](const VlanCensus& v) { return v.routers.size(); }},
};
} // namespace

Server6Offer ReadServer6Offer(const DiscoveredServer6& server)
{
    Server6Offer offer;
    for (const ExtendedOption& option : DecodeAllOptions6(server.options))
    {
        if (option.m_bMalformed)
            continue;
        if (option.m_nCode == kOptionIaNa)
            AddNested(option.m_value, kOptionIaAddress, "address", offer.addresses);
        else if (option.m_nCode == kOptionIaPd)
            AddNested(option.m_value, kOptionIaPrefix, "prefix", offer.prefixes);
        else if (option.m_nCode == kOptionDnsServers6)
            AddStrings(option.m_value, offer.dnsServers);
        else if (option.m_nCode == kOptionDomains6)
            AddStrings(option.m_value, offer.domains);
    }
    return offer;
}

std::string LifetimeText(std::uint32_t seconds)
{
    return seconds == kInfinite ? "infinite" : std::to_string(seconds) + " s";
}

std::string CensusSummaryText(const CensusResult& result, const CensusVerdict& verdict)
{
    const bool tagged = std::any_of(result.vlans.begin(), result.vlans.end(),
                                    [](const VlanCensus& vlan) { return vlan.probe.vlan; });
    std::string text;
    for (const SummaryRow& row : kSummaries)
    {
        if ((result.families & row.family) == 0)
            continue;
        std::size_t responders = 0;
        std::size_t vlansHeard = 0;
        for (const VlanCensus& vlan : result.vlans)
        {
            responders += row.count(vlan);
            vlansHeard += row.count(vlan) != 0 ? 1u : 0u;
        }
        const auto findings = std::count_if(verdict.findings.begin(), verdict.findings.end(),
                                            [&row](const CensusFinding& finding)
                                            { return finding.family == row.family; });
        text += std::string(row.title) + ": " +
                (responders == 0 ? std::string("no ") + row.one
                                 : Plural(responders, row.one, row.many));
        if (tagged)
            text += responders == 0 ? " on " + Plural(result.vlans.size(), "VLAN", "VLANs")
                                    : " on " + std::to_string(vlansHeard) + " of " +
                                          Plural(result.vlans.size(), "VLAN", "VLANs");
        if (findings != 0)
            text += "; " + Plural(static_cast<std::size_t>(findings), "finding", "findings");
        text += "\n";
    }
    return text;
}

std::string FormatCensusText(const CensusResult& result, const CensusVerdict& verdict, bool all)
{
    std::string text = CensusSummaryText(result, verdict);
    for (const VlanCensus& vlan : result.vlans)
        text += "\n" + VlanText(result, vlan, all);
    return text;
}

std::string CensusCountsText(const CensusResult& result)
{
    std::size_t servers = 0;
    std::size_t servers6 = 0;
    std::size_t routers = 0;
    DiscoveryCounts v4;
    Dhcpv6DiscoveryCounts v6;
    RouterDiscoveryCounts ra;
    for (const VlanCensus& vlan : result.vlans)
    {
        servers += vlan.servers.size();
        servers6 += vlan.servers6.size();
        routers += vlan.routers.size();
        const DiscoveryCounts& c = vlan.counts;
        v4 = {v4.packets + c.packets,     v4.offers + c.offers,
              v4.fragments + c.fragments, v4.noServerId + c.noServerId,
              v4.otherXid + c.otherXid,   v4.otherClient + c.otherClient,
              v4.naks + c.naks,           v4.ignored + c.ignored,
              v4.malformed + c.malformed, v4.dropped + c.dropped};
        const Dhcpv6DiscoveryCounts& c6 = vlan.counts6;
        v6 = {v6.packets + c6.packets,
              v6.advertises + c6.advertises,
              v6.otherTransaction + c6.otherTransaction,
              v6.otherClient + c6.otherClient,
              v6.noServerId + c6.noServerId,
              v6.ignored + c6.ignored,
              v6.malformed + c6.malformed,
              v6.dropped + c6.dropped};
        const RouterDiscoveryCounts& cr = vlan.routerCounts;
        ra = {ra.packets + cr.packets, ra.advertisements + cr.advertisements,
              ra.ignored + cr.ignored, ra.malformed + cr.malformed, ra.dropped + cr.dropped};
    }
    std::string text;
    if ((result.families & kCensusDhcpv4) != 0)
        text += DiscoveryCountsText(servers, v4);
    if ((result.families & kCensusDhcpv6) != 0)
        text += "DHCPv6: " + Plural(servers6, "server", "servers") + " from " +
                Plural(v6.advertises, "Advertise", "Advertises") +
                "; other transaction: " + std::to_string(v6.otherTransaction) +
                ", other client: " + std::to_string(v6.otherClient) +
                ", without server DUID: " + std::to_string(v6.noServerId) +
                ", malformed: " + std::to_string(v6.malformed) +
                ", ignored: " + std::to_string(v6.ignored) +
                ", dropped past the bounds: " + std::to_string(v6.dropped) + "\n";
    if ((result.families & kCensusRouters) != 0)
        text += "Routers: " + Plural(routers, "router", "routers") + " from " +
                Plural(ra.advertisements, "advertisement", "advertisements") +
                "; malformed: " + std::to_string(ra.malformed) +
                ", ignored: " + std::to_string(ra.ignored) +
                ", dropped past the bounds: " + std::to_string(ra.dropped) + "\n";
    if (result.dropped != 0 || result.unplannedFrames != 0)
        text += "Census: " + std::to_string(result.unplannedFrames) +
                " frames on VLANs not asked, " + std::to_string(result.dropped) +
                " answers dropped past the bounds\n";
    return text;
}
