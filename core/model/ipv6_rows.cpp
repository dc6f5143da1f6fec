#include "core/model/ipv6_rows.h"

#include "core/options/dhcpv6_decoder.h"
#include "core/wire/dhcpv6_message.h"
#include "core/wire/ipv6_text.h"
#include "platform/local_time.h"

namespace
{
// RFC 8415 21.4, 21.5 and 21.21: what an identity association holds before
// its options.
constexpr std::uint16_t kIaNa = 3;
constexpr std::uint16_t kIaTa = 4;
constexpr std::uint16_t kIaPd = 25;
constexpr std::uint16_t kServerId = 2;
constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

std::uint32_t ReadBe32(const std::uint8_t* data)
{
    return static_cast<std::uint32_t>(data[0]) << 24 | static_cast<std::uint32_t>(data[1]) << 16 |
           static_cast<std::uint32_t>(data[2]) << 8 | data[3];
}

std::string TimerText(std::uint32_t seconds)
{
    return LifetimeText(seconds == kInfinite ? std::nullopt : std::optional(seconds));
}

ResultRow OptionResultRow(std::uint16_t code, const OptionBytes& data, const std::string& indent,
                          bool cut)
{
    const ExtendedOption option = DecodeDhcpv6Option(code, data.data(), data.size());
    return {indent + std::string(option.m_name),
            cut ? option.m_strText + kMayBeCutMark : option.m_strText,
            code == kServerId ? kImageServer : kImageOption};
}

// An identity association's own row and one per option inside it; false
// where its bytes are not that shape, which then shows as one option.
bool AppendIdentityAssociation(const Dhcpv6Option& ia, std::vector<ResultRow>& rows)
{
    const std::size_t header = ia.code == kIaTa ? 4 : 12;
    Dhcpv6Options inside;
    if (ia.data.size() < header ||
        !ReadDhcpv6Options(ia.data.data() + header, ia.data.size() - header, inside))
        return false;
    const ExtendedOption option = DecodeDhcpv6Option(ia.code, nullptr, 0);
    std::string text = "IAID " + std::to_string(ReadBe32(ia.data.data()));
    if (header == 12)
        text += ", T1 " + TimerText(ReadBe32(ia.data.data() + 4)) + ", T2 " +
                TimerText(ReadBe32(ia.data.data() + 8));
    rows.push_back({std::string(option.m_name), text, kImageOption});
    for (const Dhcpv6Option& each : inside)
        rows.push_back(OptionResultRow(each.code, each.data, "  ", false));
    return true;
}

std::string YesNo(bool value)
{
    return value ? "yes" : "no";
}

// "A, B (dhcpcd)".
std::string HeldText(const std::vector<std::string>& items, const std::string& holder)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return holder.empty() ? text : text + " (" + holder + ")";
}
} // namespace

const char* RouterPreferenceName(RouterPreference preference)
{
    switch (preference)
    {
    case RouterPreference::Low:
        return "low";
    case RouterPreference::High:
        return "high";
    case RouterPreference::Medium:
        break;
    }
    return "medium";
}

std::string PrefixText(const LearnedPrefix& prefix)
{
    return Ipv6Text(prefix.prefix.data()) + "/" + std::to_string(prefix.length);
}

std::string LifetimeText(const std::optional<std::uint32_t>& seconds)
{
    return seconds ? std::to_string(*seconds) + " s" : "infinite";
}

bool HasIpv6Findings(const Ipv6Part& part)
{
    const RouterAdvertisements& routers = part.routers;
    return part.leaseError == 0 || (part.informAsked && part.informError == 0) ||
           (part.routersError == 0 &&
            (routers.received || !routers.routers.empty() || !routers.prefixes.empty()));
}

std::vector<ResultRow> BuildLease6Rows(const Lease6& lease)
{
    std::vector<ResultRow> rows;
    for (const Dhcpv6Option& option : lease.options)
    {
        const bool cut = lease.cutOptions.count(option.code) != 0;
        const bool ia = option.code == kIaNa || option.code == kIaTa || option.code == kIaPd;
        if (!(ia && !cut && AppendIdentityAssociation(option, rows)))
            rows.push_back(OptionResultRow(option.code, option.data, "", cut));
    }
    for (const UnmappedOption6& unmapped : lease.unmapped)
        rows.push_back({unmapped.name, unmapped.text, kImageOption});
    return rows;
}

std::vector<ResultRow> BuildRouterRows(const RouterAdvertisements& routers)
{
    std::vector<ResultRow> rows;
    if (routers.received)
    {
        rows.push_back({"Managed (M)", YesNo(routers.managed), kImageOption});
        rows.push_back({"Other Configuration (O)", YesNo(routers.otherConfig), kImageOption});
    }
    for (const LearnedRouter& router : routers.routers)
        rows.push_back({"Router",
                        Ipv6Text(router.address.data()) + ", preference " +
                            RouterPreferenceName(router.preference) + ", lifetime " +
                            LifetimeText(router.lifetime) + ", metric " +
                            std::to_string(router.metric),
                        kImageServer});
    for (const LearnedPrefix& prefix : routers.prefixes)
    {
        std::string text = PrefixText(prefix);
        if (prefix.onLink)
            text += ", on-link";
        if (prefix.autonomous)
            text += ", autonomous";
        text += ", valid " + LifetimeText(prefix.validLifetime);
        if (prefix.autonomous)
            text += ", preferred " + LifetimeText(prefix.preferredLifetime);
        rows.push_back({"Prefix", text, kImageOption});
    }
    if (routers.mtu)
        rows.push_back({"MTU", std::to_string(*routers.mtu), kImageOption});
    if (!routers.dnsServers.empty())
    {
        std::vector<std::string> servers;
        for (const Ipv6Address& server : routers.dnsServers)
            servers.push_back(Ipv6Text(server.data()));
        rows.push_back({"RDNSS", HeldText(servers, routers.dnsSource), kImageOption});
    }
    if (!routers.searchDomains.empty())
        rows.push_back({"DNSSL", HeldText(routers.searchDomains, routers.dnsSource), kImageOption});
    return rows;
}

std::vector<ResultRow> BuildIpv6Rows(const Ipv6Part& part)
{
    std::vector<ResultRow> rows;
    const auto append = [&rows](std::vector<ResultRow> more)
    { rows.insert(rows.end(), more.begin(), more.end()); };
    std::string leaseText = part.leaseError != 0 ? "none" : part.lease.source;
    if (part.leaseError == 0 && part.lease.obtained)
        leaseText += ", obtained " + FormatIso8601LocalTime(*part.lease.obtained);
    rows.push_back({"DHCPv6 Lease", leaseText, kImageAdapter});
    if (part.leaseError == 0)
        append(BuildLease6Rows(part.lease));
    if (part.informAsked)
    {
        rows.push_back({"DHCPv6 Information-request",
                        part.informError != 0 ? "no answer" : "answered", kImageAdapter});
        if (part.informError == 0)
            append(BuildLease6Rows(part.inform));
    }
    const bool learned = part.routersError == 0 && part.routers.received;
    rows.push_back(
        {"Router Advertisements", learned ? "received" : "none received", kImageAdapter});
    if (part.routersError == 0)
        append(BuildRouterRows(part.routers));
    return rows;
}
