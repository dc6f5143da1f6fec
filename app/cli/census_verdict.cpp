#include "app/cli/census_verdict.h"

#include "app/cli/census_names.h"
#include "app/cli/discover_output.h"
#include "app/cli/exit_status.h"
#include "app/cli/text_columns.h"

#include <algorithm>

namespace
{
using Vlan = std::optional<std::uint16_t>;

std::string List(const std::vector<std::string>& items)
{
    std::string list;
    for (const std::string& item : items)
        list += (list.empty() ? "" : ", ") + item;
    return list;
}

std::string ExpectedText(const std::vector<ApprovedEntry>& approved, ApprovedKind kind, Vlan vlan)
{
    std::vector<std::string> texts;
    for (const ApprovedEntry& entry : approved)
    {
        if (entry.kind == kind && AppliesTo(entry, vlan))
            texts.push_back(ApprovedEntryText(entry));
    }
    return texts.empty() ? " (none of its kind expected)" : " (expected only " + List(texts) + ")";
}

// The finding lines of one family on one VLAN.
class Findings
{
public:
    Findings(CensusVerdict& verdict, CensusFamily family, Vlan vlan, const std::string& on)
        : m_verdict(verdict), m_family(family), m_vlan(vlan), m_on(on)
    {
    }

    void Add(const std::string& text)
    {
        m_verdict.findings.push_back({m_family, m_vlan, "veyra: " + text + "\n"});
    }
    const std::string& On() const { return m_on; }

private:
    CensusVerdict& m_verdict;
    CensusFamily m_family;
    Vlan m_vlan;
    std::string m_on;
};

// The paths of each group of responders that share a key and conflict, in
// the order first seen: {key's name, paths}.
template <typename Responder, typename Key, typename Name, typename Path>
std::vector<std::pair<std::string, std::string>> Conflicts(const std::vector<Responder>& responders,
                                                           unsigned conflictFlag, Key key,
                                                           Name name, Path path)
{
    std::vector<std::pair<std::string, std::string>> groups;
    for (auto it = responders.begin(); it != responders.end(); ++it)
    {
        const bool first =
            (it->flags & conflictFlag) != 0 &&
            std::none_of(responders.begin(), it,
                         [&](const Responder& earlier) { return key(earlier) == key(*it); });
        if (!first)
            continue;
        std::vector<std::string> paths;
        for (auto same = it; same != responders.end(); ++same)
        {
            if (key(*same) == key(*it))
                paths.push_back(path(*same));
        }
        groups.emplace_back(name(*it), List(paths));
    }
    return groups;
}

void JudgeDhcpv4(const VlanCensus& vlan, const std::vector<ApprovedEntry>& approved,
                 Findings& findings)
{
    const auto& servers = vlan.servers;
    for (const auto& [id, paths] : Conflicts(
             servers, kServerConflict, [](const DiscoveredServer& s) { return s.serverId; },
             ServerIdText, [](const DiscoveredServer& s) { return ServerPathText(s.path); }))
        findings.Add("conflicting offers for server id " + id + findings.On() +
                     " (another source, or other routers, DNS servers or subnet mask): from " +
                     paths);
    std::vector<std::string> unexpected;
    for (const DiscoveredServer& server : servers)
    {
        if ((server.flags & kServerNoId) != 0)
            findings.Add("an offer without server id, against RFC 2131" + findings.On() +
                         ", from " + ServerPathText(server.path));
        if ((server.flags & kServerUnexpected) != 0)
            unexpected.push_back(ServerName(server));
    }
    if (!unexpected.empty())
        findings.Add("unexpected DHCP server" + std::string(unexpected.size() == 1 ? "" : "s") +
                     findings.On() + ": " + List(unexpected) +
                     ExpectedText(approved, ApprovedKind::Dhcpv4, vlan.probe.vlan));
    if (approved.empty() && servers.size() > 1)
    {
        std::vector<std::string> all;
        for (const DiscoveredServer& server : servers)
            all.push_back(ServerName(server));
        findings.Add(std::to_string(servers.size()) + " DHCP servers answered" + findings.On() +
                     ": " + List(all));
    }
}

void JudgeDhcpv6(const VlanCensus& vlan, const std::vector<ApprovedEntry>& approved,
                 Findings& findings)
{
    const auto& servers = vlan.servers6;
    const auto path = [](const DiscoveredServer6& s)
    { return AddressText(s.path.address) + " " + MacString(s.path.mac); };
    for (const auto& [duid, paths] : Conflicts(
             servers, kServer6Conflict, [](const DiscoveredServer6& s) { return s.duid; },
             [](const DiscoveredServer6& s) { return DuidText(s.duid); }, path))
        findings.Add("conflicting Advertises for DUID " + duid + findings.On() + ": from " + paths);
    std::vector<std::string> unexpected;
    std::vector<std::string> all;
    for (const DiscoveredServer6& server : servers)
    {
        const std::string name = "duid:" + DuidHex(server.duid) + " from " + path(server);
        all.push_back(name);
        if ((server.flags & kServer6Unexpected) != 0)
            unexpected.push_back(name);
    }
    if (!unexpected.empty())
        findings.Add("unexpected DHCPv6 server" + std::string(unexpected.size() == 1 ? "" : "s") +
                     findings.On() + ": " + List(unexpected) +
                     ExpectedText(approved, ApprovedKind::Dhcpv6, vlan.probe.vlan));
    if (approved.empty() && servers.size() > 1)
        findings.Add(std::to_string(servers.size()) + " DHCPv6 servers answered" + findings.On() +
                     ": " + List(all));
}

void JudgeRouters(const VlanCensus& vlan, const std::vector<ApprovedEntry>& approved,
                  Findings& findings)
{
    const auto& routers = vlan.routers;
    for (const auto& [address, macs] : Conflicts(
             routers, kRouterConflict, [](const AdvertisedRouter& r) { return r.address; },
             [](const AdvertisedRouter& r) { return AddressText(r.address); },
             [](const AdvertisedRouter& r) { return MacString(r.mac); }))
        findings.Add("conflicting routers at " + address + findings.On() + ": from " + macs);
    std::vector<std::string> unexpected;
    std::vector<std::string> all;
    for (const AdvertisedRouter& router : routers)
    {
        all.push_back(RouterPathText(router));
        if ((router.flags & kRouterUnexpected) != 0)
            unexpected.push_back(RouterPathText(router));
    }
    if (!unexpected.empty())
        findings.Add("unexpected router" + std::string(unexpected.size() == 1 ? "" : "s") +
                     findings.On() + ": " + List(unexpected) +
                     ExpectedText(approved, ApprovedKind::Router, vlan.probe.vlan));
    if (approved.empty() && routers.size() > 1)
        findings.Add(std::to_string(routers.size()) + " routers answered" + findings.On() + ": " +
                     List(all));
}

struct FamilyRow
{
    CensusFamily family;
    ApprovedKind kind;
    const char* noun; // what stayed silent
    bool (*heard)(const VlanCensus&);
    void (*judge)(const VlanCensus&, const std::vector<ApprovedEntry>&, Findings&);
};

constexpr FamilyRow kFamilies[] = {
    {kCensusDhcpv4, ApprovedKind::Dhcpv4, "DHCP server",
     [](const VlanCensus& v) { return !v.servers.empty(); }, JudgeDhcpv4},
    {kCensusDhcpv6, ApprovedKind::Dhcpv6, "DHCPv6 server",
     [](const VlanCensus& v) { return !v.servers6.empty(); }, JudgeDhcpv6},
    {kCensusRouters, ApprovedKind::Router, "router",
     [](const VlanCensus& v) { return !v.routers.empty(); }, JudgeRouters},
};

std::string VlanNames(const std::string& interfaceName, const std::vector<Vlan>& vlans)
{
    if (vlans.size() == 1)
        return OnText(interfaceName, vlans.front());
    std::vector<std::string> ids;
    for (const Vlan& vlan : vlans)
        ids.push_back(std::to_string(vlan.value_or(0)));
    return " on " + TerminalSafe(interfaceName) + " VLANs " + List(ids);
}
} // namespace

std::string OnText(const std::string& interfaceName, std::optional<std::uint16_t> vlan)
{
    return " on " + TerminalSafe(interfaceName) +
           (vlan ? " VLAN " + std::to_string(*vlan) : std::string());
}

bool HeardAnything(const VlanCensus& vlan, unsigned families)
{
    return std::any_of(std::begin(kFamilies), std::end(kFamilies),
                       [&](const FamilyRow& row)
                       { return (families & row.family) != 0 && row.heard(vlan); });
}

std::string SilenceReason(const CensusResult& result, const VlanCensus& vlan)
{
    if (!result.carrier)
        return "no carrier";
    if (vlan.seen.frames == 0)
        return "no packets at all";
    std::vector<std::string> seen;
    const auto count = [&seen](std::size_t n, const char* one, const char* many)
    {
        if (n != 0)
            seen.push_back(std::to_string(n) + " " + (n == 1 ? one : many));
    };
    count(vlan.counts.otherXid + vlan.counts.otherClient + vlan.counts6.otherTransaction +
              vlan.counts6.otherClient,
          "packet to another transaction", "packets to other transactions");
    count(vlan.counts.naks, "NAK", "NAKs");
    count(vlan.seen.icmpErrors, "ICMP error", "ICMP errors");
    count(vlan.seen.otherVlanAnswers, "answer tagged with another VLAN",
          "answers tagged with another VLAN");
    count(vlan.counts.malformed + vlan.counts6.malformed + vlan.routerCounts.malformed,
          "malformed packet", "malformed packets");
    if (seen.empty())
        return std::to_string(vlan.seen.frames) + (vlan.seen.frames == 1 ? " packet" : " packets") +
               ", none an answer";
    return List(seen);
}

void FlagUnexpected(CensusResult& result, const std::vector<ApprovedEntry>& approved)
{
    if (approved.empty())
        return;
    for (VlanCensus& vlan : result.vlans)
    {
        for (DiscoveredServer& server : vlan.servers)
        {
            if (!IsApproved(server, vlan.probe.vlan, approved))
                server.flags |= kServerUnexpected;
        }
        for (DiscoveredServer6& server : vlan.servers6)
        {
            if (!IsApproved(server, vlan.probe.vlan, approved))
                server.flags |= kServer6Unexpected;
        }
        for (AdvertisedRouter& router : vlan.routers)
        {
            if (!IsApproved(router, vlan.probe.vlan, approved))
                router.flags |= kRouterUnexpected;
        }
    }
}

CensusVerdict JudgeCensus(const std::string& interfaceName, std::chrono::milliseconds wait,
                          const CensusResult& result, const std::vector<ApprovedEntry>& approved)
{
    CensusVerdict verdict;
    const std::string within = " within " + WaitText(wait);
    std::vector<Vlan> silent;
    for (const VlanCensus& vlan : result.vlans)
    {
        for (const FamilyRow& row : kFamilies)
        {
            if ((result.families & row.family) == 0)
                continue;
            Findings findings(verdict, row.family, vlan.probe.vlan,
                              OnText(interfaceName, vlan.probe.vlan));
            row.judge(vlan, approved, findings);
        }
        if (!HeardAnything(vlan, result.families))
            silent.push_back(vlan.probe.vlan);
    }
    if (!silent.empty())
    {
        std::vector<std::string> nouns;
        for (const FamilyRow& row : kFamilies)
        {
            if ((result.families & row.family) != 0)
                nouns.push_back(row.noun);
        }
        std::string any = nouns.front();
        for (std::size_t i = 1; i < nouns.size(); ++i)
            any += (i + 1 == nouns.size() ? " or " : ", ") + nouns[i];
        verdict.silences.push_back("veyra: no " + any + " answered" +
                                   VlanNames(interfaceName, silent) + within + "\n");
    }
    // With a list, every family and VLAN an entry applies to must have been heard.
    for (const FamilyRow& row : kFamilies)
    {
        if ((result.families & row.family) == 0)
            continue;
        std::vector<Vlan> unheard;
        for (const VlanCensus& vlan : result.vlans)
        {
            const bool expected =
                std::any_of(approved.begin(), approved.end(),
                            [&](const ApprovedEntry& entry) {
                                return entry.kind == row.kind && AppliesTo(entry, vlan.probe.vlan);
                            });
            if (expected && !row.heard(vlan) &&
                std::find(silent.begin(), silent.end(), vlan.probe.vlan) == silent.end())
                unheard.push_back(vlan.probe.vlan);
        }
        if (!unheard.empty())
            verdict.silences.push_back("veyra: no " + std::string(row.noun) + " answered" +
                                       VlanNames(interfaceName, unheard) + within +
                                       ", where the list expects one\n");
    }
    verdict.status = !verdict.findings.empty()   ? kExitOtherServers
                     : !verdict.silences.empty() ? kExitNoServer
                                                 : kExitDone;
    return verdict;
}
