#include "app/qt/census_rows.h"

#include "app/qt/vlan_list.h"

#include "core/model/ipv6_rows.h"
#include "core/model/peer_text.h"
#include "core/options/dhcpv6_decoder.h"
#include "core/options/well_formed_option.h"
#include "core/wire/address_text.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/hex_text.h"
#include "core/wire/ipv6_text.h"

#include <algorithm>
#include <array>

namespace
{
// RFC 8415 21.21, 21.22 and 21.23: where an IA_PD keeps its prefixes.
constexpr std::uint16_t kIaPd = 25;
constexpr std::uint16_t kIaPrefix = 26;
constexpr std::size_t kIaPdHeader = 12;
constexpr std::size_t kIaPrefixSize = 25;
constexpr std::uint16_t kDnsServers6 = 23;
constexpr std::uint16_t kDomains6 = 24;
constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

// A peer's bytes as the window shows them (Qt draws any character).
QString peerText(const std::string& text)
{
    const std::string shown = ShownPeerText(text, PeerCharset::Utf8);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

QString macText(const HardwareAddress& mac)
{
    return QString::fromStdString(MacText(mac.data(), mac.size(), HexCase::Upper));
}

QString ipv6Text(const std::uint8_t* address)
{
    return QString::fromStdString(Ipv6Text(address));
}

QString lifetimeText(std::uint32_t seconds)
{
    return QString::fromStdString(
        LifetimeText(seconds == kInfinite ? std::nullopt : std::optional(seconds)));
}

QString counted(std::size_t count, const QString& one, const QString& many)
{
    return QString("%1 %2").arg(count).arg(count == 1 ? one : many);
}

bool isTagged(const CensusResult& result)
{
    return std::any_of(result.vlans.begin(), result.vlans.end(),
                       [](const VlanCensus& vlan) { return vlan.probe.vlan.has_value(); });
}

// " on VLAN 20", or nothing for the untagged link.
QString onVlan(const VlanCensus& vlan)
{
    return vlan.probe.vlan ? QString(" on VLAN %1").arg(*vlan.probe.vlan) : QString();
}

// "VLAN 20" or "VLANs 10, 30-39".
QString vlansText(const std::vector<std::uint16_t>& vlans)
{
    return (vlans.size() == 1 ? "VLAN " : "VLANs ") + vlanRangesText(vlans);
}

// "VLAN 20: " before a finding of a tagged census.
QString vlanPrefix(const VlanCensus& vlan)
{
    return vlan.probe.vlan ? QString("VLAN %1: ").arg(*vlan.probe.vlan) : QString();
}

struct Family
{
    CensusFamily bit;
    const char* title;
    const char* one;
    const char* many;
    // After "More than one ... answered.".
    const char* advice;
};

constexpr std::array<Family, 3> kFamilies = {{
    {kCensusDhcpv4, "DHCPv4 servers", "DHCP server", "DHCP servers",
     "Only one should serve a link: the others may be rogue servers."},
    {kCensusDhcpv6, "DHCPv6 servers", "DHCPv6 server", "DHCPv6 servers",
     "Only one should serve a link: the others may be rogue servers."},
    {kCensusRouters, "IPv6 routers", "IPv6 router", "IPv6 routers",
     "Hosts choose among them by preference: one not meant to serve the link may be a rogue."},
}};

std::size_t answered(const VlanCensus& vlan, CensusFamily family)
{
    switch (family)
    {
    case kCensusDhcpv4:
        return vlan.servers.size();
    case kCensusDhcpv6:
        return vlan.servers6.size();
    default:
        return vlan.routers.size();
    }
}

// ---- DHCPv4

// "10.0.0.1 (02:00:00:00:00:01)".
QString offerPathText(const OfferPath& path)
{
    return QString::fromStdString(DottedQuad(path.address)) + " (" + macText(path.mac) + ")";
}

// A server's id, or "(none)".
QString serverIdText(const DiscoveredServer& server)
{
    return server.serverId ? QString::fromStdString(DottedQuad(*server.serverId))
                           : QString("(none)");
}

// The option's text as the extended decoder writes it, empty where the offer
// has none it can read.
QString offeredText(const DiscoveredServer& server, std::uint8_t code)
{
    const std::optional<ExtendedOption> option = WellFormedOption(server.offer.m_mapOptions, code);
    return option ? QString::fromStdString(option->m_strText) : QString();
}

QStringList serverCells(const DiscoveredServer& server)
{
    QStringList flags;
    if ((server.flags & kServerConflict) != 0)
        flags << "conflict";
    if ((server.flags & kServerNoId) != 0)
        flags << "no server id";
    return {serverIdText(server),
            QString::fromStdString(DottedQuad(server.offer.m_nYourAddress.value_or(0))),
            offerPathText(server.path),
            offeredText(server, kOptionRouters),
            offeredText(server, kOptionDnsServers),
            offeredText(server, kOptionSubnetMask),
            flags.join(", ")};
}

void addServerFindings(const VlanCensus& vlan, QStringList& findings)
{
    const std::vector<DiscoveredServer>& servers = vlan.servers;
    for (auto it = servers.begin(); it != servers.end(); ++it)
    {
        if ((it->flags & kServerNoId) != 0)
        {
            findings << vlanPrefix(vlan) +
                            QString("An offer without server id (against RFC 2131) came from %1.")
                                .arg(offerPathText(it->path));
            continue;
        }
        if ((it->flags & kServerConflict) == 0 ||
            std::any_of(servers.begin(), it,
                        [&it](const DiscoveredServer& earlier)
                        { return earlier.serverId == it->serverId; }))
            continue;
        QStringList paths;
        for (auto same = it; same != servers.end(); ++same)
        {
            if (same->serverId == it->serverId)
                paths << offerPathText(same->path);
        }
        findings << vlanPrefix(vlan) +
                        QString("Conflict: offers for server id %1 came from %2 with different "
                                "sources or settings. One may be a rogue using the real "
                                "server's id.")
                            .arg(serverIdText(*it), paths.join(", "));
    }
}

// ---- DHCPv6

QString duidText(const std::vector<std::uint8_t>& duid)
{
    return peerText(DecodeDhcpv6Option(2, duid.data(), duid.size()).m_strText);
}

QString server6PathText(const Server6Path& path)
{
    return ipv6Text(path.address.data()) + " (" + macText(path.mac) + ")";
}

// The prefixes of the Advertise's IA_PDs (their IAPREFIX options).
QStringList offeredPrefixes(const Dhcpv6Options& options)
{
    QStringList prefixes;
    for (const Dhcpv6Option& ia : options)
    {
        Dhcpv6Options inside;
        if (ia.code != kIaPd || ia.data.size() < kIaPdHeader)
            continue;
        ReadDhcpv6Options(ia.data.data() + kIaPdHeader, ia.data.size() - kIaPdHeader, inside);
        for (const Dhcpv6Option& each : inside)
        {
            if (each.code == kIaPrefix && each.data.size() >= kIaPrefixSize)
                prefixes << ipv6Text(each.data.data() + 9) + "/" + QString::number(each.data[8]);
        }
    }
    return prefixes;
}

// The decoder's text of the Advertise's first option of the code, if any.
QString optionText(const Dhcpv6Options& options, std::uint16_t code)
{
    const auto option =
        std::find_if(options.begin(), options.end(),
                     [code](const Dhcpv6Option& each) { return each.code == code; });
    return option == options.end()
               ? QString()
               : peerText(
                     DecodeDhcpv6Option(code, option->data.data(), option->data.size()).m_strText);
}

QStringList server6Cells(const DiscoveredServer6& server)
{
    QStringList addresses;
    for (const Ipv6Address& address : LeasedAddresses(server.options))
        addresses << ipv6Text(address.data());
    return {duidText(server.duid),
            server6PathText(server.path),
            QString::number(server.preference),
            addresses.join(", "),
            offeredPrefixes(server.options).join(", "),
            optionText(server.options, kDnsServers6),
            optionText(server.options, kDomains6),
            (server.flags & kServer6Conflict) != 0 ? QString("conflict") : QString()};
}

void addServer6Findings(const VlanCensus& vlan, QStringList& findings)
{
    const std::vector<DiscoveredServer6>& servers = vlan.servers6;
    for (auto it = servers.begin(); it != servers.end(); ++it)
    {
        if ((it->flags & kServer6Conflict) == 0 ||
            std::any_of(servers.begin(), it,
                        [&it](const DiscoveredServer6& earlier)
                        { return earlier.duid == it->duid; }))
            continue;
        QStringList paths;
        for (auto same = it; same != servers.end(); ++same)
        {
            if (same->duid == it->duid)
                paths << server6PathText(same->path);
        }
        findings << vlanPrefix(vlan) +
                        QString("Conflict: Advertises for DUID %1 came from %2. One may be a "
                                "rogue using the real server's DUID.")
                            .arg(duidText(it->duid), paths.join(", "));
    }
    if (vlan.counts6.noServerId > 0)
        findings << vlanPrefix(vlan) +
                        QString("%1 without server DUID (against RFC 8415) dropped.")
                            .arg(counted(vlan.counts6.noServerId, "Advertise", "Advertises"));
}

// ---- Routers

QString advertisedPrefixText(const AdvertisedPrefix& prefix)
{
    QStringList parts;
    if (prefix.onLink)
        parts << "on-link";
    if (prefix.autonomous)
        parts << "autonomous";
    parts << "valid " + lifetimeText(prefix.validLifetime)
          << "preferred " + lifetimeText(prefix.preferredLifetime);
    return ipv6Text(prefix.prefix.data()) + "/" + QString::number(prefix.length) + " (" +
           parts.join(", ") + ")";
}

// Each option's items, then its lifetime: "a, b (600 s); c (30 s)".
template <typename Option, typename Text>
QString itemsWithLifetimes(const std::vector<Option>& options, Text text)
{
    QStringList shown;
    for (const Option& option : options)
    {
        QStringList items;
        for (const auto& item : text(option))
            items << item;
        shown << items.join(", ") + " (" + lifetimeText(option.lifetime) + ")";
    }
    return shown.join("; ");
}

QStringList routerCells(const AdvertisedRouter& router)
{
    QString from = macText(router.mac);
    if (router.linkLayerOption && *router.linkLayerOption != router.mac)
        from += " (option: " + macText(*router.linkLayerOption) + ")";
    QStringList modes;
    if (router.managed)
        modes << "M";
    if (router.otherConfig)
        modes << "O";
    QStringList prefixes;
    for (const AdvertisedPrefix& prefix : router.prefixes)
        prefixes << advertisedPrefixText(prefix);
    return {ipv6Text(router.address.data()),
            from,
            router.lifetime == 0 ? QString("0 s (not a default router)")
                                 : lifetimeText(router.lifetime),
            RouterPreferenceName(router.preference),
            modes.join(", "),
            prefixes.join("; "),
            router.mtu ? QString::number(*router.mtu) : QString(),
            itemsWithLifetimes(router.dnsServers,
                               [](const AdvertisedDnsServers& option)
                               {
                                   QStringList servers;
                                   for (const Ipv6Address& server : option.servers)
                                       servers << ipv6Text(server.data());
                                   return servers;
                               }),
            itemsWithLifetimes(router.searchLists,
                               [](const AdvertisedSearchList& option)
                               {
                                   QStringList domains;
                                   for (const std::string& domain : option.domains)
                                       domains << peerText(domain);
                                   return domains;
                               }),
            (router.flags & kRouterConflict) != 0 ? QString("conflict") : QString()};
}

void addRouterFindings(const VlanCensus& vlan, QStringList& findings)
{
    const std::vector<AdvertisedRouter>& routers = vlan.routers;
    for (auto it = routers.begin(); it != routers.end(); ++it)
    {
        if ((it->flags & kRouterConflict) == 0 ||
            std::any_of(routers.begin(), it,
                        [&it](const AdvertisedRouter& earlier)
                        { return earlier.address == it->address; }))
            continue;
        QStringList macs;
        for (auto same = it; same != routers.end(); ++same)
        {
            if (same->address == it->address)
                macs << macText(same->mac);
        }
        findings << vlanPrefix(vlan) +
                        QString("Conflict: advertisements for router %1 came from %2. One may be "
                                "a rogue using the real router's address.")
                            .arg(ipv6Text(it->address.data()), macs.join(", "));
    }
}

// ---- Per family

QList<QStringList> familyRows(const VlanCensus& vlan, CensusFamily family)
{
    QList<QStringList> rows;
    switch (family)
    {
    case kCensusDhcpv4:
        for (const DiscoveredServer& server : vlan.servers)
            rows << serverCells(server);
        break;
    case kCensusDhcpv6:
        for (const DiscoveredServer6& server : vlan.servers6)
            rows << server6Cells(server);
        break;
    default:
        for (const AdvertisedRouter& router : vlan.routers)
            rows << routerCells(router);
        break;
    }
    return rows;
}

QStringList familyHeaders(CensusFamily family)
{
    switch (family)
    {
    case kCensusDhcpv4:
        return {"DHCP Server", "Offered Address", "Offer From", "Routers",
                "DNS Servers", "Subnet Mask",     "Flags"};
    case kCensusDhcpv6:
        return {"DUID",     "From",        "Preference", "Addresses",
                "Prefixes", "DNS Servers", "Domains",    "Flags"};
    default:
        return {"Router",   "From", "Lifetime",    "Preference",     "M/O",
                "Prefixes", "MTU",  "DNS Servers", "Search Domains", "Flags"};
    }
}

void addCount(QStringList& reasons, std::size_t count, const char* one, const char* many)
{
    if (count > 0)
        reasons << counted(count, one, many);
}

// What came instead of an answer of the family, where anything did.
QStringList silenceReasons(const CensusResult& result, const VlanCensus& vlan, CensusFamily family)
{
    QStringList reasons;
    if (!result.carrier)
        reasons << "the adapter had no carrier during the wait";
    switch (family)
    {
    case kCensusDhcpv4:
        addCount(reasons, vlan.counts.otherClient, "offer to another client",
                 "offers to another client");
        addCount(reasons, vlan.counts.naks, "DHCPNAK", "DHCPNAKs");
        addCount(reasons, vlan.counts.fragments, "fragmented reply (too large to read)",
                 "fragmented replies (too large to read)");
        addCount(reasons, vlan.counts.malformed, "malformed reply", "malformed replies");
        break;
    case kCensusDhcpv6:
        addCount(reasons, vlan.counts6.otherClient, "Advertise to another client",
                 "Advertises to another client");
        addCount(reasons, vlan.counts6.malformed, "malformed reply", "malformed replies");
        break;
    default:
        addCount(reasons, vlan.routerCounts.malformed, "malformed advertisement",
                 "malformed advertisements");
        break;
    }
    addCount(reasons, vlan.seen.icmpErrors, "ICMP error about the probes",
             "ICMP errors about the probes");
    addCount(reasons, vlan.seen.otherVlanAnswers, "answer tagged with another VLAN",
             "answers tagged with another VLAN");
    if (result.carrier && vlan.seen.frames == 0)
        reasons << "nothing at all was received";
    return reasons;
}
} // namespace

std::vector<CensusTable> censusTables(const CensusResult& result)
{
    const bool tagged = isTagged(result);
    std::vector<CensusTable> tables;
    for (const Family& family : kFamilies)
    {
        if ((result.families & family.bit) == 0)
            continue;
        CensusTable table{family.bit, family.title, familyHeaders(family.bit), {}, {}};
        if (tagged)
            table.headers.prepend("VLAN");
        // Tagged VLANs where nothing came instead share one line.
        std::vector<std::uint16_t> quiet;
        for (const VlanCensus& vlan : result.vlans)
        {
            for (QStringList& row : familyRows(vlan, family.bit))
            {
                if (tagged)
                    row.prepend(vlan.probe.vlan ? QString::number(*vlan.probe.vlan)
                                                : QString("untagged"));
                table.rows << row;
            }
            if (answered(vlan, family.bit) > 0)
                continue;
            const QStringList reasons = silenceReasons(result, vlan, family.bit);
            if (reasons.isEmpty() && vlan.probe.vlan)
                quiet.push_back(*vlan.probe.vlan);
            else
                table.silences << QString("No %1 answered%2%3.")
                                      .arg(family.one, onVlan(vlan),
                                           reasons.isEmpty() ? QString()
                                                             : ": " + reasons.join("; "));
        }
        std::sort(quiet.begin(), quiet.end());
        if (!quiet.empty())
            table.silences << QString("No %1 answered on %2.").arg(family.one, vlansText(quiet));
        tables.push_back(std::move(table));
    }
    return tables;
}

QStringList censusFindings(const CensusResult& result)
{
    QStringList findings;
    if ((result.families & kCensusDhcpv4) != 0)
    {
        for (const VlanCensus& vlan : result.vlans)
            addServerFindings(vlan, findings);
    }
    if ((result.families & kCensusDhcpv6) != 0)
    {
        for (const VlanCensus& vlan : result.vlans)
            addServer6Findings(vlan, findings);
    }
    if ((result.families & kCensusRouters) != 0)
    {
        for (const VlanCensus& vlan : result.vlans)
            addRouterFindings(vlan, findings);
    }
    return findings;
}

QStringList censusWarnings(const CensusResult& result)
{
    QStringList warnings;
    for (const Family& family : kFamilies)
    {
        std::vector<std::uint16_t> vlans;
        bool untagged = false;
        for (const VlanCensus& vlan : result.vlans)
        {
            if ((result.families & family.bit) == 0 || answered(vlan, family.bit) < 2)
                continue;
            if (vlan.probe.vlan)
                vlans.push_back(*vlan.probe.vlan);
            else
                untagged = true;
        }
        std::sort(vlans.begin(), vlans.end());
        QStringList where;
        if (untagged && !vlans.empty())
            where << "untagged";
        if (!vlans.empty())
            where << vlansText(vlans);
        if (untagged || !vlans.empty())
            warnings << QString("More than one %1 answered%2. %3")
                            .arg(family.one,
                                 where.isEmpty() ? QString() : " on " + where.join(" and "),
                                 family.advice);
    }
    return warnings;
}

QString censusCounts(const CensusResult& result)
{
    QStringList counts;
    for (const Family& family : kFamilies)
    {
        if ((result.families & family.bit) == 0)
            continue;
        std::size_t total = 0;
        for (const VlanCensus& vlan : result.vlans)
            total += answered(vlan, family.bit);
        counts << (total == 0 ? QString("no ") + family.one
                              : counted(total, family.one, family.many));
    }
    const QString last = counts.isEmpty() ? QString() : counts.takeLast();
    return counts.isEmpty() ? last : counts.join(", ") + " and " + last;
}
