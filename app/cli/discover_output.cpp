#include "app/cli/discover_output.h"

#include "app/cli/all_options_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/json_text.h"
#include "app/cli/text_columns.h"
#include "core/options/extended_decoder.h"
#include "core/wire/address_text.h"
#include "core/wire/byte_order.h"

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

std::string PathText(const OfferPath& path)
{
    return Address(path.m_nSourceAddress) + " " + MacText(path.m_SourceMac);
}

// The offer as a lease the --all forms show: its options, no moments.
Lease OfferLease(const DiscoveredServer& server)
{
    Lease lease;
    lease.m_mapOptions = server.m_mapOptions;
    lease.m_nYourAddress = server.m_nYourAddress;
    return lease;
}

std::string ServerList(const std::vector<DiscoveredServer>& servers)
{
    std::string strList;
    for (const DiscoveredServer& server : servers)
        strList += (strList.empty() ? "" : ", ") + Address(server.m_nServerId);
    return strList;
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
    std::vector<std::vector<std::string>> rows = {
        {"Server ID", "From", "Offered", "Lease", "Subnet Mask", "Routers", "DNS Servers"}};
    for (const DiscoveredServer& server : result.m_servers)
    {
        const std::optional<std::uint32_t> nMask = Number(server, kOptionSubnetMask);
        rows.push_back({Address(server.m_nServerId), PathText(server.m_Paths.front()),
                        Address(server.m_nYourAddress), LeaseText(server),
                        nMask ? Address(*nMask) : std::string(),
                        Joined(Addresses(server, kOptionRouters)),
                        Joined(Addresses(server, kOptionDnsServers))});
        for (std::size_t i = 1; i < server.m_Paths.size(); ++i)
            rows.push_back({"", PathText(server.m_Paths[i])});
    }
    std::string strText = FormatColumns(rows);
    if (!bAll)
        return strText;
    for (const DiscoveredServer& server : result.m_servers)
        strText +=
            "\nOffer of " + Address(server.m_nServerId) + "\n" + FormatAllRows(OfferLease(server));
    return strText;
}

std::string FormatDiscoveryJson(const std::string& strInterface, std::chrono::milliseconds wait,
                                const DiscoveryResult& result, bool bAll)
{
    using Json = nlohmann::ordered_json;
    std::string strServers;
    for (const DiscoveredServer& server : result.m_servers)
    {
        Json paths = Json::array();
        for (const OfferPath& path : server.m_Paths)
            paths.push_back(
                {{"address", Address(path.m_nSourceAddress)}, {"mac", MacText(path.m_SourceMac)}});
        const std::optional<std::uint32_t> nLease = Number(server, kOptionLeaseTime);
        const std::optional<std::uint32_t> nMask = Number(server, kOptionSubnetMask);
        Json entry = {
            {"server_id", Address(server.m_nServerId)},
            {"paths", paths},
            {"offers", server.m_nOffers},
            {"offered_address", Address(server.m_nYourAddress)},
            {"lease_time", nLease ? Json(*nLease) : Json()},
            {"subnet_mask", nMask ? Json(Address(*nMask)) : Json()},
            {"routers", Addresses(server, kOptionRouters)},
            {"dns_servers", Addresses(server, kOptionDnsServers)},
        };
        if (bAll)
            entry["options"] = AllOptionsJson(OfferLease(server));
        strServers += (strServers.empty() ? "\n    " : ",\n    ") + JsonLine(entry);
    }
    // One member a line, one server a line: greppable, and a stable shape.
    return "{\n"
           "  \"interface\": " +
           JsonString(strInterface) +
           ",\n  \"client_mac\": " + JsonString(MacText(result.m_ClientMac)) +
           ",\n  \"transaction_id\": " + std::to_string(result.m_nTransactionId) +
           ",\n  \"wait_ms\": " + std::to_string(wait.count()) + ",\n  \"servers\": [" +
           strServers + (strServers.empty() ? "]" : "\n  ]") +
           ",\n  \"ignored\": " + std::to_string(result.m_counts.m_nIgnored) +
           ",\n  \"malformed\": " + std::to_string(result.m_counts.m_nMalformed) +
           ",\n  \"dropped\": " + std::to_string(result.m_counts.m_nDropped) + "\n}\n";
}

std::string DiscoveryCountsText(const DiscoveryResult& result)
{
    const std::size_t nServers = result.m_servers.size();
    std::string strText = std::to_string(nServers) + (nServers == 1 ? " server" : " servers") +
                          "; packets ignored: " + std::to_string(result.m_counts.m_nIgnored) +
                          ", malformed: " + std::to_string(result.m_counts.m_nMalformed);
    if (result.m_counts.m_nDropped != 0)
        strText += ", offers from servers past the bound of " +
                   std::to_string(DiscoveryLimits().m_nMaxServers) + ": " +
                   std::to_string(result.m_counts.m_nDropped);
    return strText + "\n";
}

DiscoveryVerdict JudgeDiscovery(const std::string& strInterface, std::chrono::milliseconds wait,
                                const DiscoveryResult& result,
                                std::optional<std::uint32_t> nExpectedServer)
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
    if (nExpectedServer)
    {
        std::vector<DiscoveredServer> others;
        for (const DiscoveredServer& server : result.m_servers)
        {
            if (server.m_nServerId != *nExpectedServer)
                others.push_back(server);
        }
        if (!others.empty())
        {
            verdict.m_nStatus = kExitOtherServers;
            verdict.m_strMessage = "veyra: unexpected DHCP server" +
                                   std::string(others.size() == 1 ? "" : "s") + strOn + ": " +
                                   ServerList(others) + " (expected only " +
                                   Address(*nExpectedServer) + ")\n";
        }
        return verdict;
    }
    if (result.m_servers.size() > 1)
    {
        verdict.m_nStatus = kExitOtherServers;
        verdict.m_strMessage = "veyra: " + std::to_string(result.m_servers.size()) +
                               " DHCP servers answered" + strOn + ": " +
                               ServerList(result.m_servers) + "\n";
    }
    return verdict;
}
