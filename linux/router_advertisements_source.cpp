#include "linux/router_advertisements_source.h"

#include "linux/dhcpcd_router_dns.h"

#include <algorithm>
#include <chrono>

#include <linux/icmpv6.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>

namespace
{
// IFLA_INET6_FLAGS bits; the kernel keeps them out of its user headers.
constexpr std::uint32_t kRaReceived = 0x20;
constexpr std::uint32_t kRaManaged = 0x40;
constexpr std::uint32_t kRaOtherConfig = 0x80;

// dhcpcd answers from memory: a reply that takes longer is not coming.
constexpr std::chrono::milliseconds kDhcpcdTimeout{500};

RouterPreference PreferenceOf(std::optional<std::uint8_t> preference)
{
    switch (preference.value_or(ICMPV6_ROUTER_PREF_MEDIUM))
    {
    case ICMPV6_ROUTER_PREF_LOW:
        return RouterPreference::Low;
    case ICMPV6_ROUTER_PREF_HIGH:
        return RouterPreference::High;
    default:
        return RouterPreference::Medium; // RFC 4191 2.2: the reserved value is medium
    }
}

bool IsSlaacAddress(const NetlinkAddress6& address)
{
    if (address.origin)
        return *address.origin == IFAPROT_KERNEL_RA;
    return (address.flags & IFA_F_PERMANENT) == 0 &&
           (address.flags & (IFA_F_MANAGETEMPADDR | IFA_F_TEMPORARY)) != 0;
}

Ipv6Address Masked(Ipv6Address address, unsigned nLength)
{
    for (unsigned nBit = nLength; nBit < 128; ++nBit)
        address[nBit / 8] &= static_cast<std::uint8_t>(~(0x80u >> (nBit % 8)));
    return address;
}

LearnedPrefix& PrefixEntry(std::vector<LearnedPrefix>& prefixes, const Ipv6Address& prefix,
                           unsigned nLength)
{
    const auto it = std::find_if(prefixes.begin(), prefixes.end(),
                                 [&](const LearnedPrefix& known)
                                 { return known.prefix == prefix && known.length == nLength; });
    if (it != prefixes.end())
        return *it;
    LearnedPrefix& added = prefixes.emplace_back();
    added.prefix = prefix;
    added.length = static_cast<std::uint8_t>(nLength);
    return added;
}
} // namespace

RouterAdvertisements KernelRouterAdvertisements(const NetlinkInterface& link)
{
    RouterAdvertisements learned;
    const std::uint32_t nFlags = link.inet6Flags.value_or(0);
    learned.received = (nFlags & kRaReceived) != 0;
    learned.managed = (nFlags & kRaManaged) != 0;
    learned.otherConfig = (nFlags & kRaOtherConfig) != 0;

    for (const NetlinkRoute6& route : link.ipv6Routes)
    {
        if (route.protocol == RTPROT_RA && route.destinationLength == 0 && route.gateway)
            learned.routers.push_back(
                {*route.gateway, PreferenceOf(route.preference), route.expires, route.metric});
        else if (!route.gateway && route.destinationLength != 0 &&
                 ((route.flags & RTM_F_PREFIX) != 0 || route.protocol == RTPROT_RA))
        {
            LearnedPrefix& prefix =
                PrefixEntry(learned.prefixes, Masked(route.destination, route.destinationLength),
                            route.destinationLength);
            prefix.onLink = true;
            prefix.validLifetime = route.expires;
        }
    }
    for (const NetlinkAddress6& address : link.ipv6Addresses)
    {
        if (!IsSlaacAddress(address))
            continue;
        LearnedPrefix& prefix = PrefixEntry(
            learned.prefixes, Masked(address.address, address.prefixLength), address.prefixLength);
        // A temporary address lives shorter than its prefix: the first
        // public one's lifetimes are the prefix's.
        if (!prefix.autonomous || (address.flags & IFA_F_TEMPORARY) == 0)
        {
            prefix.validLifetime = address.validLifetime;
            prefix.preferredLifetime = address.preferredLifetime;
        }
        prefix.autonomous = true;
    }

    if (link.raMtu)
    {
        if (*link.raMtu != 0)
            learned.mtu = link.raMtu;
    }
    else if (link.mtu6 && *link.mtu6 != 0 && *link.mtu6 != link.mtu)
        learned.mtu = link.mtu6;
    return learned;
}

bool DhcpcdMayBeAsked(const NetlinkInterface& link)
{
    const bool bRouter =
        std::any_of(link.ipv6Routes.begin(), link.ipv6Routes.end(),
                    [](const NetlinkRoute6& route) { return route.protocol == RTPROT_RA; });
    const bool bTentative = std::any_of(
        link.ipv6Addresses.begin(), link.ipv6Addresses.end(),
        [](const NetlinkAddress6& address)
        { return (address.flags & (IFA_F_TENTATIVE | IFA_F_DADFAILED)) == IFA_F_TENTATIVE; });
    return bRouter && !bTentative;
}

int ReadRouterAdvertisements(const LinuxPaths& paths, const LeaseInterface& iface,
                             RouterAdvertisements& learned)
{
    learned = {};
    CNetlinkSnapshot snapshot;
    if (const int nError = snapshot.Take(CNetlinkSnapshot::RouteFamily::Ipv6))
        return nError;
    const auto it = snapshot.Interfaces().find(iface.m_nIndex);
    if (it == snapshot.Interfaces().end() || it->second.m_strName != iface.m_strName)
        return 0; // gone since the adapters were listed
    learned = KernelRouterAdvertisements(it->second);
    // A client that is not running or will not answer has nothing to add.
    if (DhcpcdMayBeAsked(it->second))
        ReadDhcpcdRouterDns(paths.m_strRun, iface, kDhcpcdTimeout, learned);
    return 0;
}
