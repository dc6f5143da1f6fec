#include "app/cli/census_json.h"

#include "app/cli/census_names.h"
#include "app/cli/census_output.h"
#include "app/cli/discover_output.h"
#include "app/cli/json_text.h"
#include "core/model/ipv6_rows.h"
#include "core/options/dhcpv6_decoder.h"

namespace
{
using Json = nlohmann::ordered_json;

constexpr std::uint16_t kOptionServerId6 = 2;
constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

Json Lifetime(std::uint32_t seconds)
{
    return seconds == kInfinite ? Json() : Json(seconds);
}

Json First(const std::optional<std::chrono::microseconds>& first)
{
    return first ? Json(FirstAnswerMs(*first)) : Json();
}

Json Server6Json(const DiscoveredServer6& server, bool all)
{
    const Server6Offer offer = ReadServer6Offer(server);
    Json entry = {
        {"duid", DuidHex(server.duid)},
        {"duid_value",
         DecodeDhcpv6Option(kOptionServerId6, server.duid.data(), server.duid.size()).m_value},
        {"address", AddressText(server.path.address)},
        {"mac", MacString(server.path.mac)},
        {"advertises", server.advertises},
        {"preference", server.preference},
        {"addresses", offer.addresses},
        {"prefixes", offer.prefixes},
        {"dns_servers", offer.dnsServers},
        {"domains", offer.domains},
        {"flags", Server6FlagTexts(server)},
    };
    if (all)
    {
        Json options = Json::array();
        for (std::size_t i = 0; i < server.options.size(); ++i)
        {
            const Dhcpv6Option& option = server.options[i];
            options.push_back(ExtendedOptionJson(
                DecodeDhcpv6Option(option.code, option.data.data(), option.data.size()),
                option.data));
        }
        entry["options"] = std::move(options);
    }
    return entry;
}

Json RouterJson(const AdvertisedRouter& router)
{
    Json prefixes = Json::array();
    for (const AdvertisedPrefix& prefix : router.prefixes)
        prefixes.push_back(
            {{"prefix", AddressText(prefix.prefix) + "/" + std::to_string(prefix.length)},
             {"on_link", prefix.onLink},
             {"autonomous", prefix.autonomous},
             {"valid_lifetime", Lifetime(prefix.validLifetime)},
             {"preferred_lifetime", Lifetime(prefix.preferredLifetime)}});
    Json dns = Json::array();
    for (const AdvertisedDnsServers& servers : router.dnsServers)
    {
        std::vector<std::string> addresses;
        for (const Ipv6Address& address : servers.servers)
            addresses.push_back(AddressText(address));
        dns.push_back({{"servers", addresses}, {"lifetime", Lifetime(servers.lifetime)}});
    }
    Json search = Json::array();
    for (const AdvertisedSearchList& list : router.searchLists)
        search.push_back({{"domains", list.domains}, {"lifetime", Lifetime(list.lifetime)}});
    return {
        {"address", AddressText(router.address)},
        {"mac", MacString(router.mac)},
        {"link_layer_option",
         router.linkLayerOption ? Json(MacString(*router.linkLayerOption)) : Json()},
        {"lifetime", router.lifetime},
        {"preference", RouterPreferenceName(router.preference)},
        {"managed", router.managed},
        {"other_config", router.otherConfig},
        {"hop_limit", router.hopLimit},
        {"reachable_time", router.reachableTime},
        {"retrans_timer", router.retransTimer},
        {"prefixes", std::move(prefixes)},
        {"mtu", router.mtu ? Json(*router.mtu) : Json()},
        {"dns_servers", std::move(dns)},
        {"search_lists", std::move(search)},
        {"advertisements", router.advertisements},
        {"flags", RouterFlagTexts(router)},
    };
}

Json Dhcpv4Json(const VlanCensus& vlan, bool all)
{
    Json servers = Json::array();
    for (const DiscoveredServer& server : vlan.servers)
        servers.push_back(ServerJson(server, all));
    Json part = {{"transaction_id", vlan.probe.transactionId}, {"servers", std::move(servers)}};
    AddDhcpv4Counts(part, vlan.counts, vlan.firstOffer);
    return part;
}

Json Dhcpv6Json(const VlanCensus& vlan, bool all)
{
    Json servers = Json::array();
    for (const DiscoveredServer6& server : vlan.servers6)
        servers.push_back(Server6Json(server, all));
    const Dhcpv6DiscoveryCounts& counts = vlan.counts6;
    return {
        {"transaction_id", vlan.probe.transactionId6},
        {"client_duid", DuidHex(vlan.probe.clientDuid)},
        {"servers", std::move(servers)},
        {"packets", counts.packets},
        {"advertises", counts.advertises},
        {"other_transaction", counts.otherTransaction},
        {"other_client", counts.otherClient},
        {"no_server_id", counts.noServerId},
        {"ignored", counts.ignored},
        {"malformed", counts.malformed},
        {"dropped", counts.dropped},
        {"first_advertise_ms", First(vlan.firstAdvertise)},
    };
}

Json RoutersJson(const VlanCensus& vlan)
{
    Json routers = Json::array();
    for (const AdvertisedRouter& router : vlan.routers)
        routers.push_back(RouterJson(router));
    const RouterDiscoveryCounts& counts = vlan.routerCounts;
    return {
        {"routers", std::move(routers)},
        {"packets", counts.packets},
        {"advertisements", counts.advertisements},
        {"ignored", counts.ignored},
        {"malformed", counts.malformed},
        {"dropped", counts.dropped},
        {"first_router_ms", First(vlan.firstRouter)},
    };
}

Json VlanJson(const CensusResult& result, const VlanCensus& vlan, bool all)
{
    const auto asked = [&result](unsigned family) { return (result.families & family) != 0; };
    return {
        {"vlan", vlan.probe.vlan ? Json(*vlan.probe.vlan) : Json()},
        {"client_mac", MacString(vlan.probe.clientMac)},
        {"frames", vlan.seen.frames},
        {"icmp_errors", vlan.seen.icmpErrors},
        {"other_vlan_answers", vlan.seen.otherVlanAnswers},
        {"silent",
         HeardAnything(vlan, result.families) ? Json() : Json(SilenceReason(result, vlan))},
        {"dhcpv4", asked(kCensusDhcpv4) ? Dhcpv4Json(vlan, all) : Json()},
        {"dhcpv6", asked(kCensusDhcpv6) ? Dhcpv6Json(vlan, all) : Json()},
        {"routers", asked(kCensusRouters) ? RoutersJson(vlan) : Json()},
    };
}
} // namespace

std::string FormatCensusJson(const std::string& interfaceName, std::chrono::milliseconds wait,
                             const CensusResult& result, const CensusVerdict& verdict, bool all)
{
    const VlanCensus* untagged = result.vlans.size() == 1 && !result.vlans.front().probe.vlan
                                     ? &result.vlans.front()
                                     : nullptr;
    const bool dhcpv4 = untagged != nullptr && (result.families & kCensusDhcpv4) != 0;
    Json document = {
        {"interface", interfaceName},
        {"client_mac", untagged != nullptr ? Json(MacString(untagged->probe.clientMac)) : Json()},
        {"transaction_id", dhcpv4 ? Json(untagged->probe.transactionId) : Json()},
        {"wait_ms", wait.count()},
        {"servers", dhcpv4 ? Dhcpv4Json(*untagged, all)["servers"] : Json::array()},
    };
    AddDhcpv4Counts(document, dhcpv4 ? untagged->counts : DiscoveryCounts(),
                    dhcpv4 ? untagged->firstOffer : std::nullopt);
    Json families = Json::array();
    for (const auto& [family, name] :
         {std::pair{kCensusDhcpv4, "dhcpv4"}, std::pair{kCensusDhcpv6, "dhcpv6"},
          std::pair{kCensusRouters, "routers"}})
    {
        if ((result.families & family) != 0)
            families.push_back(name);
    }
    document["families"] = std::move(families);
    Json vlans = Json::array();
    for (const VlanCensus& vlan : result.vlans)
        vlans.push_back(VlanJson(result, vlan, all));
    document["vlans"] = std::move(vlans);
    document["carrier"] = result.carrier;
    document["unplanned_frames"] = result.unplannedFrames;
    document["census_dropped"] = result.dropped;
    Json findings = Json::array();
    for (const CensusFinding& finding : verdict.findings)
        findings.push_back(finding.text.substr(0, finding.text.size() - 1));
    document["findings"] = std::move(findings);
    Json silences = Json::array();
    for (const std::string& silence : verdict.silences)
        silences.push_back(silence.substr(0, silence.size() - 1));
    document["silences"] = std::move(silences);
    document["status"] = verdict.status;
    return JsonDocument(document);
}
