#include "app/cli/discover_output.h"

#include "app/cli/all_options_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/options/extended_decoder.h"
#include "core/wire/address_text.h"
#include "core/wire/byte_order.h"

#include <algorithm>
#include <cstdio>

namespace
{
constexpr std::uint8_t kOptionSubnetMask = 1;
constexpr std::uint8_t kOptionRouters = 3;
constexpr std::uint8_t kOptionDnsServers = 6;

std::string Address(std::uint32_t nAddress)
{
    return std::string(DottedQuad(nAddress));
}

std::string MacText(const HardwareAddress& address)
{
    char szText[18];
    std::snprintf(szText, sizeof szText, "%02x:%02x:%02x:%02x:%02x:%02x", address[0], address[1],
                  address[2], address[3], address[4], address[5]);
    return szText;
}

const OptionBytes* Find(const DiscoveredServer& server, std::uint8_t nCode)
{
    const auto option = server.m_mapOptions.find(nCode);
    return option != server.m_mapOptions.end() ? &option->second : nullptr;
}

std::optional<std::uint32_t> Number(const DiscoveredServer& server, std::uint8_t nCode)
{
    const OptionBytes* pBytes = Find(server, nCode);
    if (pBytes == nullptr || pBytes->size() != 4)
        return std::nullopt;
    return ReadBe32(pBytes->data());
}

// Every whole address of an address-list option.
std::vector<std::string> Addresses(const DiscoveredServer& server, std::uint8_t nCode)
{
    std::vector<std::string> addresses;
    const OptionBytes* pBytes = Find(server, nCode);
    for (std::size_t i = 0; pBytes != nullptr && i + 4 <= pBytes->size(); i += 4)
        addresses.push_back(std::string(DottedQuad(pBytes->data() + i)));
    return addresses;
}

std::string Joined(const std::vector<std::string>& texts)
{
    std::string strText;
    for (const std::string& str : texts)
        strText += (strText.empty() ? "" : " ") + str;
    return strText;
}

std::string LeaseText(const DiscoveredServer& server)
{
    const std::optional<std::uint32_t> nSeconds = Number(server, kOptionLeaseTime);
    if (!nSeconds)
        return std::string();
    return DurationText(*nSeconds);
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
    return Address(path.m_nSourceAddress) + " " + MacText(path.m_SourceMac);
}

std::string IdText(const DiscoveredServer& server)
{
    return server.m_nServerId ? Address(*server.m_nServerId) : "none";
}

// How a finding names a server: its id, with the source's MAC where another
// server has the same id; one without id by its source address.
std::string ServerName(const DiscoveredServer& server)
{
    if (!server.m_nServerId)
        return "no id from " + Address(server.m_source.m_nSourceAddress);
    if ((server.m_nFlags & kServerConflict) != 0)
        return IdText(server) + "@" + MacText(server.m_source.m_SourceMac);
    return IdText(server);
}

std::vector<std::string> FlagTexts(const DiscoveredServer& server)
{
    std::vector<std::string> flags;
    if ((server.m_nFlags & kServerConflict) != 0)
        flags.push_back("conflict");
    if ((server.m_nFlags & kServerNoId) != 0)
        flags.push_back("no-server-id");
    if ((server.m_nFlags & kServerUnexpected) != 0)
        flags.push_back("unexpected");
    return flags;
}

// The offer as a lease the --all forms show: its options, no moments.
Lease OfferLease(const DiscoveredServer& server)
{
    Lease lease;
    lease.m_mapOptions = server.m_mapOptions;
    lease.m_nYourAddress = server.m_nYourAddress;
    return lease;
}

std::string ServerList(const std::vector<const DiscoveredServer*>& servers)
{
    std::string strList;
    for (const DiscoveredServer* pServer : servers)
        strList += (strList.empty() ? "" : ", ") + ServerName(*pServer);
    return strList;
}

std::string ApprovedText(const ApprovedServer& approved)
{
    return Address(approved.m_nServerId) + (approved.m_Mac ? "@" + MacText(*approved.m_Mac) : "");
}

// One line per server id that more than one server names, in the order seen.
std::string ConflictLines(const DiscoveryResult& result, const std::string& strOn)
{
    std::string strLines;
    for (auto it = result.m_servers.begin(); it != result.m_servers.end(); ++it)
    {
        const bool bFirstOfId = (it->m_nFlags & kServerConflict) != 0 &&
                                std::none_of(result.m_servers.begin(), it,
                                             [&it](const DiscoveredServer& earlier)
                                             { return earlier.m_nServerId == it->m_nServerId; });
        if (!bFirstOfId)
            continue;
        std::string strSources;
        for (auto same = it; same != result.m_servers.end(); ++same)
        {
            if (same->m_nServerId == it->m_nServerId)
                strSources += (strSources.empty() ? "" : ", ") + PathText(same->m_source);
        }
        strLines += "veyra: conflicting offers for server id " + IdText(*it) + strOn +
                    " (another source, or other routers, DNS servers or subnet mask): from " +
                    strSources + "\n";
    }
    return strLines;
}
} // namespace

std::string WaitText(std::chrono::milliseconds wait)
{
    std::string strText = std::to_string(wait.count() / 1000);
    if (const auto nFraction = wait.count() % 1000)
    {
        std::string strFraction = std::to_string(1000 + nFraction).substr(1);
        strFraction.erase(strFraction.find_last_not_of('0') + 1);
        strText += "." + strFraction;
    }
    return strText + " s";
}

std::string FormatDiscoveryText(const DiscoveryResult& result, bool bAll)
{
    if (result.m_servers.empty())
        return std::string();
    std::vector<std::vector<std::string>> rows = {{"Server ID", "From", "Offered", "Lease",
                                                   "Subnet Mask", "Routers", "DNS Servers",
                                                   "Flags"}};
    for (const DiscoveredServer& server : result.m_servers)
    {
        const std::optional<std::uint32_t> nMask = Number(server, kOptionSubnetMask);
        std::string strFlags;
        for (const std::string& strFlag : FlagTexts(server))
            strFlags += (strFlags.empty() ? "" : ",") + strFlag;
        rows.push_back({IdText(server), PathText(server.m_source), Address(server.m_nYourAddress),
                        LeaseText(server), nMask ? Address(*nMask) : std::string(),
                        Joined(Addresses(server, kOptionRouters)),
                        Joined(Addresses(server, kOptionDnsServers)), strFlags});
    }
    std::string strText = FormatColumns(rows);
    if (!bAll)
        return strText;
    for (const DiscoveredServer& server : result.m_servers)
        strText += "\nOffer of " + IdText(server) + " from " + PathText(server.m_source) + "\n" +
                   FormatAllRows(OfferLease(server));
    return strText;
}

std::string FormatDiscoveryJson(const std::string& strInterface, std::chrono::milliseconds wait,
                                const DiscoveryResult& result, bool bAll)
{
    using Json = nlohmann::ordered_json;
    std::string strServers;
    for (const DiscoveredServer& server : result.m_servers)
    {
        const std::optional<std::uint32_t> nLease = Number(server, kOptionLeaseTime);
        const std::optional<std::uint32_t> nMask = Number(server, kOptionSubnetMask);
        Json entry = {
            {"server_id", server.m_nServerId ? Json(Address(*server.m_nServerId)) : Json()},
            {"paths", Json::array({{{"address", Address(server.m_source.m_nSourceAddress)},
                                    {"mac", MacText(server.m_source.m_SourceMac)}}})},
            {"offers", server.m_nOffers},
            {"offered_address", Address(server.m_nYourAddress)},
            {"lease_time", nLease ? Json(*nLease) : Json()},
            {"subnet_mask", nMask ? Json(Address(*nMask)) : Json()},
            {"routers", Addresses(server, kOptionRouters)},
            {"dns_servers", Addresses(server, kOptionDnsServers)},
            {"flags", FlagTexts(server)},
        };
        if (bAll)
            entry["options"] = AllOptionsJson(OfferLease(server));
        strServers += (strServers.empty() ? "\n    " : ",\n    ") + JsonLine(entry);
    }
    const DiscoveryCounts& counts = result.m_counts;
    const Json head = {
        {"interface", strInterface},
        {"client_mac", MacText(result.m_ClientMac)},
        {"transaction_id", result.m_nTransactionId},
        {"wait_ms", wait.count()},
    };
    const Json tail = {
        {"ignored", counts.m_nIgnored},
        {"malformed", counts.m_nMalformed},
        {"dropped", counts.m_nDropped},
        {"packets", counts.m_nPackets},
        {"offers", counts.m_nOffers},
        {"fragments", counts.m_nFragments},
        {"no_server_id", counts.m_nNoServerId},
        {"other_xid", counts.m_nOtherXid},
        {"other_chaddr", counts.m_nOtherClient},
        {"naks", counts.m_nNaks},
        {"first_offer_ms", result.m_firstOffer ? Json(FirstOfferMs(*result.m_firstOffer)) : Json()},
    };
    // One member a line, one server a line: greppable, and a stable shape.
    std::string strText = "{";
    for (const auto& [strKey, value] : head.items())
        strText += "\n  " + JsonString(strKey) + ": " + JsonLine(value) + ",";
    strText += "\n  \"servers\": [" + strServers + (strServers.empty() ? "]" : "\n  ]");
    for (const auto& [strKey, value] : tail.items())
        strText += ",\n  " + JsonString(strKey) + ": " + JsonLine(value);
    return strText + "\n}\n";
}

std::string DiscoveryCountsText(const DiscoveryResult& result)
{
    const DiscoveryCounts& counts = result.m_counts;
    const std::size_t nServers = result.m_servers.size();
    return std::to_string(nServers) + (nServers == 1 ? " server" : " servers") + " from " +
           std::to_string(counts.m_nOffers) + (counts.m_nOffers == 1 ? " offer" : " offers") +
           " (" + std::to_string(counts.m_nNoServerId) +
           " without server id); fragments: " + std::to_string(counts.m_nFragments) +
           ", other xid: " + std::to_string(counts.m_nOtherXid) +
           ", other chaddr: " + std::to_string(counts.m_nOtherClient) +
           ", NAKs: " + std::to_string(counts.m_nNaks) +
           ", malformed: " + std::to_string(counts.m_nMalformed) +
           ", ignored: " + std::to_string(counts.m_nIgnored) +
           ", dropped past the bounds: " + std::to_string(counts.m_nDropped) + "\n";
}

DiscoveryVerdict JudgeDiscovery(const std::string& strInterface, std::chrono::milliseconds wait,
                                const DiscoveryResult& result,
                                const std::vector<ApprovedServer>& approved)
{
    const std::string strOn = " on " + TerminalSafe(strInterface);
    DiscoveryVerdict verdict;
    if (result.m_servers.empty())
    {
        verdict.m_nStatus = kExitNoServer;
        verdict.m_strMessage =
            "veyra: no DHCP server answered" + strOn + " within " + WaitText(wait) + "\n";
        return verdict;
    }
    std::string& strLines = verdict.m_strMessage;
    strLines += ConflictLines(result, strOn);
    std::vector<const DiscoveredServer*> unexpected;
    for (const DiscoveredServer& server : result.m_servers)
    {
        if ((server.m_nFlags & kServerNoId) != 0)
            strLines += "veyra: an offer without server id, against RFC 2131" + strOn + ", from " +
                        PathText(server.m_source) + "\n";
        if ((server.m_nFlags & kServerUnexpected) != 0)
            unexpected.push_back(&server);
    }
    if (!unexpected.empty())
    {
        std::string strApproved;
        for (const ApprovedServer& server : approved)
            strApproved += (strApproved.empty() ? "" : ", ") + ApprovedText(server);
        strLines += "veyra: unexpected DHCP server" +
                    std::string(unexpected.size() == 1 ? "" : "s") + strOn + ": " +
                    ServerList(unexpected) + " (expected only " + strApproved + ")\n";
    }
    if (approved.empty() && result.m_servers.size() > 1)
    {
        std::vector<const DiscoveredServer*> all;
        for (const DiscoveredServer& server : result.m_servers)
            all.push_back(&server);
        strLines += "veyra: " + std::to_string(result.m_servers.size()) + " DHCP servers answered" +
                    strOn + ": " + ServerList(all) + "\n";
    }
    verdict.m_nStatus = strLines.empty() ? kExitDone : kExitOtherServers;
    return verdict;
}
