#include "app/cli/discover_output.h"

#include "app/cli/all_options_output.h"
#include "app/cli/census_names.h"
#include "app/cli/text_columns.h"
#include "core/options/well_formed_option.h"

#include <algorithm>

namespace
{
using Json = nlohmann::ordered_json;

std::string OfferedAddress(const DiscoveredServer& server)
{
    return AddressText(server.offer.m_nYourAddress.value_or(0));
}

std::optional<ExtendedOption> Offered(const DiscoveredServer& server, std::uint8_t code)
{
    return WellFormedOption(server.offer.m_mapOptions, code);
}

// The option's value as the JSON form writes it, or nothing where the offer
// has none it can read.
Json OfferedValue(const DiscoveredServer& server, std::uint8_t code, const Json& nothing)
{
    const std::optional<ExtendedOption> option = Offered(server, code);
    return option ? Json(option->m_value) : nothing;
}

// The option's text as the table shows it; an address list with its
// addresses between spaces, so that each column is one word per value.
std::string OfferedText(const DiscoveredServer& server, std::uint8_t code)
{
    const std::optional<ExtendedOption> option = Offered(server, code);
    if (!option)
        return std::string();
    if (!option->m_value.is_array())
        return option->m_strText;
    std::string text;
    for (const auto& address : option->m_value)
        text += (text.empty() ? "" : " ") + address.get<std::string>();
    return text;
}
} // namespace

std::string WaitText(std::chrono::milliseconds wait)
{
    std::string text = std::to_string(wait.count() / 1000);
    if (const auto fraction = wait.count() % 1000)
    {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text + " s";
}

double FirstAnswerMs(std::chrono::microseconds elapsed)
{
    return static_cast<double>(elapsed.count()) / 1000.0;
}

std::string FormatServerTable(const std::vector<DiscoveredServer>& servers, bool all)
{
    if (servers.empty())
        return std::string();
    std::vector<const DiscoveredServer*> shown;
    for (const DiscoveredServer& server : servers)
        shown.push_back(&server);
    std::stable_partition(shown.begin(), shown.end(),
                          [](const DiscoveredServer* server) { return server->flags != 0; });
    std::vector<std::vector<std::string>> rows = {{"Server ID", "From", "Offered", "Lease",
                                                   "Subnet Mask", "Routers", "DNS Servers",
                                                   "Flags"}};
    for (const DiscoveredServer* server : shown)
        rows.push_back(
            {ServerIdText(*server), ServerPathText(server->path), OfferedAddress(*server),
             OfferedText(*server, kOptionLeaseTime), OfferedText(*server, kOptionSubnetMask),
             OfferedText(*server, kOptionRouters), OfferedText(*server, kOptionDnsServers),
             JoinedFlags(ServerFlagTexts(*server))});
    std::string text = FormatColumns(rows);
    if (!all)
        return text;
    for (const DiscoveredServer* server : shown)
        text += "\nOffer of " + ServerIdText(*server) + " from " + ServerPathText(server->path) +
                "\n" + FormatAllRows(server->offer);
    return text;
}

Json ServerJson(const DiscoveredServer& server, bool all)
{
    Json entry = {
        {"server_id", server.serverId ? Json(AddressText(*server.serverId)) : Json()},
        {"paths", Json::array({{{"address", AddressText(server.path.address)},
                                {"mac", MacString(server.path.mac)}}})},
        {"offers", server.offers},
        {"offered_address", OfferedAddress(server)},
        {"lease_time", OfferedValue(server, kOptionLeaseTime, Json())},
        {"subnet_mask", OfferedValue(server, kOptionSubnetMask, Json())},
        {"routers", OfferedValue(server, kOptionRouters, Json::array())},
        {"dns_servers", OfferedValue(server, kOptionDnsServers, Json::array())},
        {"flags", ServerFlagTexts(server)},
    };
    if (all)
        entry["options"] = AllOptionsJson(server.offer);
    return entry;
}

void AddDhcpv4Counts(Json& object, const DiscoveryCounts& counts,
                     const std::optional<std::chrono::microseconds>& firstOffer)
{
    object["ignored"] = counts.ignored;
    object["malformed"] = counts.malformed;
    object["dropped"] = counts.dropped;
    object["packets"] = counts.packets;
    object["offers"] = counts.offers;
    object["fragments"] = counts.fragments;
    object["no_server_id"] = counts.noServerId;
    object["other_xid"] = counts.otherXid;
    object["other_chaddr"] = counts.otherClient;
    object["naks"] = counts.naks;
    object["first_offer_ms"] = firstOffer ? Json(FirstAnswerMs(*firstOffer)) : Json();
}

std::string DiscoveryCountsText(std::size_t servers, const DiscoveryCounts& counts)
{
    return std::to_string(servers) + (servers == 1 ? " server" : " servers") + " from " +
           std::to_string(counts.offers) + (counts.offers == 1 ? " offer" : " offers") + " (" +
           std::to_string(counts.noServerId) +
           " without server id); fragments: " + std::to_string(counts.fragments) +
           ", other xid: " + std::to_string(counts.otherXid) +
           ", other chaddr: " + std::to_string(counts.otherClient) +
           ", NAKs: " + std::to_string(counts.naks) +
           ", malformed: " + std::to_string(counts.malformed) +
           ", ignored: " + std::to_string(counts.ignored) +
           ", dropped past the bounds: " + std::to_string(counts.dropped) + "\n";
}
