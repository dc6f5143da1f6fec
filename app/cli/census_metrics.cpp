#include "app/cli/census_metrics.h"

#include "app/cli/census_names.h"
#include "core/model/lease_moments.h"
#include "core/model/peer_text.h"
#include "core/wire/address_list.h"
#include "core/wire/dhcpv6_message.h"

#include <charconv>
#include <initializer_list>
#include <set>
#include <utility>

namespace
{
constexpr std::uint16_t kOptionServerId6 = 2;
constexpr std::uint8_t kOptionServerId = 54;

// Writes one family of metrics at a time: its HELP and TYPE once, then its
// series, each label set once. Info series (one per responder or leased
// address, which a link chooses) share one bound per file; those past it are
// counted for veyra_metrics_dropped_series.
class MetricsText
{
public:
    using Labels = std::initializer_list<std::pair<const char*, std::string>>;

    explicit MetricsText(std::string interfaceName) : m_interface(std::move(interfaceName)) {}

    void Family(const char* name, const char* help)
    {
        m_name = name;
        m_seen.clear();
        m_text += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
    }

    void Series(Labels labels, const std::string& value) { Write(labels, value, false); }
    void Info(Labels labels) { Write(labels, "1", true); }

    std::size_t DroppedSeries() const { return m_droppedSeries; }
    std::string Take() { return std::move(m_text); }

private:
    static constexpr std::size_t kMaxInfoSeries = 1024;
    static constexpr std::size_t kMaxLabelBytes = 256;

    // A label set already written is passed over: two responders whose
    // labels agree (cut to the bound, or the same server with other
    // settings) are one series.
    void Write(Labels labels, const std::string& value, bool info)
    {
        std::string series = m_name + "{interface=\"" + LabelValue(m_interface) + "\"";
        for (const auto& [label, text] : labels)
            series += std::string(",") + label + "=\"" + LabelValue(text) + "\"";
        series += "}";
        if (m_seen.count(series) != 0)
            return;
        if (info && m_infoSeries == kMaxInfoSeries)
        {
            ++m_droppedSeries;
            return;
        }
        m_infoSeries += info ? 1 : 0;
        m_seen.insert(series);
        m_text += series + " " + value + "\n";
    }

    // Shown by the one rule for a peer's text (valid UTF-8, controls and
    // invisible characters as escapes, so no newline is left), cut to a
    // bound on a character's boundary, then escaped as the format asks.
    static std::string LabelValue(const std::string& text)
    {
        std::string shown = ShownPeerText(text, PeerCharset::Utf8);
        if (shown.size() > kMaxLabelBytes)
        {
            std::size_t end = kMaxLabelBytes;
            while (end > 0 && (static_cast<unsigned char>(shown[end]) & 0xC0) == 0x80)
                --end;
            shown.resize(end);
        }
        std::string escaped;
        for (const char c : shown)
        {
            if (c == '\\' || c == '"')
                escaped += '\\';
            escaped += c;
        }
        return escaped;
    }

    std::string m_interface;
    std::string m_name;
    std::string m_text;
    std::set<std::string> m_seen;
    std::size_t m_infoSeries = 0;
    std::size_t m_droppedSeries = 0;
};

std::string Number(double value)
{
    char digits[64];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed).ptr;
    return std::string(digits, end);
}

std::string Seconds(std::chrono::microseconds duration)
{
    return Number(static_cast<double>(duration.count()) / 1e6);
}

std::string VlanLabel(const VlanCensus& vlan)
{
    return vlan.probe.vlan ? std::to_string(*vlan.probe.vlan) : "untagged";
}

const char* FamilyLabel(unsigned family)
{
    return family == kCensusDhcpv4 ? "dhcpv4" : family == kCensusDhcpv6 ? "dhcpv6" : "routers";
}

std::string Approved(const DiscoverCommand& command, unsigned flags, unsigned unexpectedFlag)
{
    if (command.approved.empty())
        return "unknown";
    return (flags & unexpectedFlag) != 0 ? "false" : "true";
}

std::size_t DroppedAnswers(const CensusResult& result)
{
    std::size_t dropped = result.dropped;
    for (const VlanCensus& vlan : result.vlans)
        dropped += vlan.counts.dropped + vlan.counts6.dropped + vlan.routerCounts.dropped;
    return dropped;
}

void WriteCensus(MetricsText& text, const DiscoverCommand& command, const CensusResult& result,
                 const CensusVerdict& verdict)
{
    const bool dhcpv4 = (result.families & kCensusDhcpv4) != 0;
    const bool dhcpv6 = (result.families & kCensusDhcpv6) != 0;
    const bool routers = (result.families & kCensusRouters) != 0;
    text.Family("veyra_census_exit_status", "The census's exit status (veyra(1), EXIT STATUS).");
    text.Series({}, std::to_string(verdict.status));
    text.Family("veyra_census_carrier", "Whether the interface had a carrier within the wait.");
    text.Series({}, result.carrier ? "1" : "0");
    text.Family("veyra_census_dropped_answers",
                "Answers only counted, past the census's bounds on what it keeps.");
    text.Series({}, std::to_string(DroppedAnswers(result)));

    text.Family("veyra_dhcp_servers", "DHCP servers that answered, per family and VLAN.");
    for (const VlanCensus& vlan : result.vlans)
    {
        if (dhcpv4)
            text.Series({{"family", "dhcpv4"}, {"vlan", VlanLabel(vlan)}},
                        std::to_string(vlan.servers.size()));
        if (dhcpv6)
            text.Series({{"family", "dhcpv6"}, {"vlan", VlanLabel(vlan)}},
                        std::to_string(vlan.servers6.size()));
    }
    if (routers)
    {
        text.Family("veyra_ipv6_routers", "IPv6 routers that advertised, per VLAN.");
        for (const VlanCensus& vlan : result.vlans)
            text.Series({{"vlan", VlanLabel(vlan)}}, std::to_string(vlan.routers.size()));
    }
    text.Family("veyra_dhcp_offer_seconds",
                "From the census's request to the first DHCPOFFER or Advertise.");
    for (const VlanCensus& vlan : result.vlans)
    {
        if (dhcpv4 && vlan.firstOffer)
            text.Series({{"family", "dhcpv4"}, {"vlan", VlanLabel(vlan)}},
                        Seconds(*vlan.firstOffer));
        if (dhcpv6 && vlan.firstAdvertise)
            text.Series({{"family", "dhcpv6"}, {"vlan", VlanLabel(vlan)}},
                        Seconds(*vlan.firstAdvertise));
    }
    if (routers)
    {
        text.Family("veyra_ipv6_router_advertisement_seconds",
                    "From the Router Solicitation to the first Router Advertisement.");
        for (const VlanCensus& vlan : result.vlans)
        {
            if (vlan.firstRouter)
                text.Series({{"vlan", VlanLabel(vlan)}}, Seconds(*vlan.firstRouter));
        }
    }
    text.Family("veyra_census_findings",
                "Conflicts, servers without id, unapproved responders, or more than one "
                "responder without a list, per family and VLAN.");
    for (const VlanCensus& vlan : result.vlans)
    {
        for (const unsigned family : {kCensusDhcpv4, kCensusDhcpv6, kCensusRouters})
        {
            if ((result.families & family) == 0)
                continue;
            std::size_t findings = 0;
            for (const CensusFinding& finding : verdict.findings)
            {
                if (finding.family == family && finding.vlan == vlan.probe.vlan)
                    ++findings;
            }
            text.Series({{"family", FamilyLabel(family)}, {"vlan", VlanLabel(vlan)}},
                        std::to_string(findings));
        }
    }

    text.Family("veyra_dhcp_server_info", "A DHCP server that answered, by id and path.");
    for (const VlanCensus& vlan : result.vlans)
    {
        for (const DiscoveredServer& server : vlan.servers)
            text.Info({{"family", "dhcpv4"},
                       {"vlan", VlanLabel(vlan)},
                       {"id", ServerIdText(server)},
                       {"mac", MacString(server.path.mac)},
                       {"address", AddressText(server.path.address)},
                       {"approved", Approved(command, server.flags, kServerUnexpected)}});
        for (const DiscoveredServer6& server : vlan.servers6)
            text.Info({{"family", "dhcpv6"},
                       {"vlan", VlanLabel(vlan)},
                       {"id", DuidHex(server.duid)},
                       {"mac", MacString(server.path.mac)},
                       {"address", AddressText(server.path.address)},
                       {"approved", Approved(command, server.flags, kServer6Unexpected)}});
    }
    if (routers)
    {
        text.Family("veyra_ipv6_router_info", "An IPv6 router that advertised.");
        for (const VlanCensus& vlan : result.vlans)
        {
            for (const AdvertisedRouter& router : vlan.routers)
                text.Info({{"vlan", VlanLabel(vlan)},
                           {"address", AddressText(router.address)},
                           {"mac", MacString(router.mac)},
                           {"approved", Approved(command, router.flags, kRouterUnexpected)}});
        }
    }
}

// When the DHCPv6 lease's first address or prefix to go ends: the smallest
// valid lifetime of its IA addresses and prefixes after it was obtained (as
// --check-lease counts it); empty where it never ends or the client did not
// record when it was obtained.
std::optional<std::int64_t> Lease6Expiry(const Lease6& lease)
{
    const std::optional<std::uint32_t> shortest = ShortestValidLifetime(lease.options);
    if (!lease.obtained || !shortest)
        return std::nullopt;
    return MomentAfter(*lease.obtained, *shortest);
}

std::string LeaseSource(const Lease& lease)
{
    const auto source = lease.m_mapSources.find(kOptionServerId);
    return source != lease.m_mapSources.end() ? source->second : std::string();
}

void WriteLeases(MetricsText& text, const InterfaceLeases& leases)
{
    const Lease& lease = leases.lease;
    text.Family("veyra_dhcp_lease_expiry_timestamp_seconds",
                "When the interface's lease ends, in seconds since the epoch.");
    const LeaseMoments moments = LeaseMomentsOf(lease);
    if (leases.error == 0 && moments.m_tExpiry)
        text.Series({{"family", "dhcpv4"}}, std::to_string(moments.m_tExpiry.value()));
    const std::optional<std::int64_t> expiry6 = Lease6Expiry(leases.lease6);
    if (leases.error6 == 0 && expiry6)
        text.Series({{"family", "dhcpv6"}}, std::to_string(expiry6.value()));

    text.Family("veyra_dhcp_lease_info",
                "A lease the interface's DHCP client holds: its server and address.");
    if (leases.error == 0)
    {
        const auto id = lease.m_mapOptions.find(kOptionServerId);
        const std::vector<CString> servers =
            id != lease.m_mapOptions.end()
                ? Ipv4AddressList(id->second.data(), id->second.size()).Texts()
                : std::vector<CString>();
        text.Info({{"family", "dhcpv4"},
                   {"server", servers.empty() ? "none" : servers.front()},
                   {"address", lease.m_nYourAddress ? AddressText(*lease.m_nYourAddress) : ""},
                   {"source", LeaseSource(lease)}});
    }
    if (leases.error6 == 0)
    {
        std::string server = "none";
        for (const Dhcpv6Option& option : leases.lease6.options)
        {
            if (option.code == kOptionServerId6)
                server = DuidHex(option.data);
        }
        for (const Ipv6Address& address : LeasedAddresses(leases.lease6.options))
            text.Info({{"family", "dhcpv6"},
                       {"server", server},
                       {"address", AddressText(address)},
                       {"source", leases.lease6.source}});
    }
}
} // namespace

std::string FormatCensusMetrics(const DiscoverCommand& command, const CensusResult* result,
                                const CensusVerdict* verdict, const InterfaceLeases& leases,
                                std::chrono::system_clock::time_point now)
{
    MetricsText text(command.interfaceName);
    text.Family("veyra_census_success", "Whether the census ran (1) or could not (0).");
    text.Series({}, result != nullptr ? "1" : "0");
    text.Family("veyra_census_timestamp_seconds",
                "When the census ended, in seconds since the epoch.");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
    text.Series({}, Number(static_cast<double>(ms.count()) / 1e3));
    if (result != nullptr && verdict != nullptr)
        WriteCensus(text, command, *result, *verdict);
    WriteLeases(text, leases);
    text.Family("veyra_metrics_dropped_series",
                "Info series left out of this file past its bound on them.");
    text.Series({}, std::to_string(text.DroppedSeries()));
    return text.Take();
}
