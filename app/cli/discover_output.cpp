#include "app/cli/discover_output.h"

#include "app/cli/all_options_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/options/well_formed_option.h"
#include "core/wire/address_text.h"
#include "core/wire/hex_text.h"

#include <algorithm>

namespace
{
using Json = nlohmann::ordered_json;

std::string Address(std::uint32_t address)
{
    return std::string(DottedQuad(address));
}

std::string Mac(const HardwareAddress& address)
{
    return MacText(address.data(), address.size());
}

std::string OfferedAddress(const DiscoveredServer& server)
{
    return Address(server.offer.m_nYourAddress.value_or(0));
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

// From the DHCPDISCOVER to the first offer, in milliseconds to the microsecond.
double FirstOfferMs(std::chrono::steady_clock::duration elapsed)
{
    return static_cast<double>(
               std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) /
           1000.0;
}

std::string PathText(const OfferPath& path)
{
    return Address(path.address) + " " + Mac(path.mac);
}

std::string IdText(const DiscoveredServer& server)
{
    return server.serverId ? Address(*server.serverId) : "none";
}

// How a finding names a server: its id, with the path's MAC where another
// server has the same id; one without id by its source address.
std::string ServerName(const DiscoveredServer& server)
{
    if (!server.serverId)
        return "no id from " + Address(server.path.address);
    if ((server.flags & kServerConflict) != 0)
        return IdText(server) + "@" + Mac(server.path.mac);
    return IdText(server);
}

std::vector<std::string> FlagTexts(const DiscoveredServer& server)
{
    std::vector<std::string> flags;
    if ((server.flags & kServerConflict) != 0)
        flags.push_back("conflict");
    if ((server.flags & kServerNoId) != 0)
        flags.push_back("no-server-id");
    if ((server.flags & kServerUnexpected) != 0)
        flags.push_back("unexpected");
    return flags;
}

std::string ServerList(const std::vector<const DiscoveredServer*>& servers)
{
    std::string list;
    for (const DiscoveredServer* server : servers)
        list += (list.empty() ? "" : ", ") + ServerName(*server);
    return list;
}

std::string ApprovedText(const ApprovedServer& approved)
{
    return Address(approved.m_nServerId) + (approved.m_Mac ? "@" + Mac(*approved.m_Mac) : "");
}

// One line per server id that more than one server names, in the order seen.
std::string ConflictLines(const DiscoveryResult& result, const std::string& on)
{
    std::string lines;
    for (auto it = result.m_servers.begin(); it != result.m_servers.end(); ++it)
    {
        const bool firstOfId = (it->flags & kServerConflict) != 0 &&
                               std::none_of(result.m_servers.begin(), it,
                                            [&it](const DiscoveredServer& earlier)
                                            { return earlier.serverId == it->serverId; });
        if (!firstOfId)
            continue;
        std::string paths;
        for (auto same = it; same != result.m_servers.end(); ++same)
        {
            if (same->serverId == it->serverId)
                paths += (paths.empty() ? "" : ", ") + PathText(same->path);
        }
        lines += "veyra: conflicting offers for server id " + IdText(*it) + on +
                 " (another source, or other routers, DNS servers or subnet mask): from " + paths +
                 "\n";
    }
    return lines;
}

Json ServerJson(const DiscoveredServer& server, bool all)
{
    Json entry = {
        {"server_id", server.serverId ? Json(Address(*server.serverId)) : Json()},
        {"paths",
         Json::array({{{"address", Address(server.path.address)}, {"mac", Mac(server.path.mac)}}})},
        {"offers", server.offers},
        {"offered_address", OfferedAddress(server)},
        {"lease_time", OfferedValue(server, kOptionLeaseTime, Json())},
        {"subnet_mask", OfferedValue(server, kOptionSubnetMask, Json())},
        {"routers", OfferedValue(server, kOptionRouters, Json::array())},
        {"dns_servers", OfferedValue(server, kOptionDnsServers, Json::array())},
        {"flags", FlagTexts(server)},
    };
    if (all)
        entry["options"] = AllOptionsJson(server.offer);
    return entry;
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

std::string FormatDiscoveryText(const DiscoveryResult& result, bool all)
{
    if (result.m_servers.empty())
        return std::string();
    std::vector<std::vector<std::string>> rows = {{"Server ID", "From", "Offered", "Lease",
                                                   "Subnet Mask", "Routers", "DNS Servers",
                                                   "Flags"}};
    for (const DiscoveredServer& server : result.m_servers)
    {
        std::string flags;
        for (const std::string& flag : FlagTexts(server))
            flags += (flags.empty() ? "" : ",") + flag;
        rows.push_back({IdText(server), PathText(server.path), OfferedAddress(server),
                        OfferedText(server, kOptionLeaseTime),
                        OfferedText(server, kOptionSubnetMask), OfferedText(server, kOptionRouters),
                        OfferedText(server, kOptionDnsServers), flags});
    }
    std::string text = FormatColumns(rows);
    if (!all)
        return text;
    for (const DiscoveredServer& server : result.m_servers)
        text += "\nOffer of " + IdText(server) + " from " + PathText(server.path) + "\n" +
                FormatAllRows(server.offer);
    return text;
}

std::string FormatDiscoveryJson(const std::string& interfaceName, std::chrono::milliseconds wait,
                                const DiscoveryResult& result, bool all)
{
    Json servers = Json::array();
    for (const DiscoveredServer& server : result.m_servers)
        servers.push_back(ServerJson(server, all));
    const DiscoveryCounts& counts = result.m_counts;
    const Json document = {
        {"interface", interfaceName},
        {"client_mac", Mac(result.m_ClientMac)},
        {"transaction_id", result.m_nTransactionId},
        {"wait_ms", wait.count()},
        {"servers", std::move(servers)},
        {"ignored", counts.ignored},
        {"malformed", counts.malformed},
        {"dropped", counts.dropped},
        {"packets", counts.packets},
        {"offers", counts.offers},
        {"fragments", counts.fragments},
        {"no_server_id", counts.noServerId},
        {"other_xid", counts.otherXid},
        {"other_chaddr", counts.otherClient},
        {"naks", counts.naks},
        {"first_offer_ms", result.m_firstOffer ? Json(FirstOfferMs(*result.m_firstOffer)) : Json()},
    };
    return JsonDocument(document);
}

std::string DiscoveryCountsText(const DiscoveryResult& result)
{
    const DiscoveryCounts& counts = result.m_counts;
    const std::size_t servers = result.m_servers.size();
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

DiscoveryVerdict JudgeDiscovery(const std::string& interfaceName, std::chrono::milliseconds wait,
                                const DiscoveryResult& result,
                                const std::vector<ApprovedServer>& approved)
{
    const std::string on = " on " + TerminalSafe(interfaceName);
    DiscoveryVerdict verdict;
    if (result.m_servers.empty())
    {
        verdict.m_nStatus = kExitNoServer;
        verdict.m_strMessage =
            "veyra: no DHCP server answered" + on + " within " + WaitText(wait) + "\n";
        return verdict;
    }
    std::string& lines = verdict.m_strMessage;
    lines += ConflictLines(result, on);
    std::vector<const DiscoveredServer*> unexpected;
    for (const DiscoveredServer& server : result.m_servers)
    {
        if ((server.flags & kServerNoId) != 0)
            lines += "veyra: an offer without server id, against RFC 2131" + on + ", from " +
                     PathText(server.path) + "\n";
        if ((server.flags & kServerUnexpected) != 0)
            unexpected.push_back(&server);
    }
    if (!unexpected.empty())
    {
        std::string expected;
        for (const ApprovedServer& server : approved)
            expected += (expected.empty() ? "" : ", ") + ApprovedText(server);
        lines += "veyra: unexpected DHCP server" + std::string(unexpected.size() == 1 ? "" : "s") +
                 on + ": " + ServerList(unexpected) + " (expected only " + expected + ")\n";
    }
    if (approved.empty() && result.m_servers.size() > 1)
    {
        std::vector<const DiscoveredServer*> all;
        for (const DiscoveredServer& server : result.m_servers)
            all.push_back(&server);
        lines += "veyra: " + std::to_string(result.m_servers.size()) + " DHCP servers answered" +
                 on + ": " + ServerList(all) + "\n";
    }
    verdict.m_nStatus = lines.empty() ? kExitDone : kExitOtherServers;
    return verdict;
}
