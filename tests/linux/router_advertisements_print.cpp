// Prints what ReadRouterAdvertisements reports for an interface, one fact a
// line, for the namespace tests to compare: "router fe80::1 high 1800 1024".
// Lifetimes are seconds left ("forever" when infinite).
#include "core/wire/ipv6_text.h"
#include "linux/errno_text.h"
#include "linux/router_advertisements_source.h"

#include <cstdio>
#include <optional>
#include <string>

#include <net/if.h>

namespace
{
std::string Seconds(const std::optional<std::uint32_t>& seconds)
{
    return seconds ? std::to_string(*seconds) : "forever";
}

const char* PreferenceText(RouterPreference preference)
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
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s INTERFACE\n", argv[0]);
        return 2;
    }
    LeaseInterface iface;
    iface.m_strName = argv[1];
    iface.m_nIndex = if_nametoindex(argv[1]);
    RouterAdvertisements learned;
    if (const int nError = ReadRouterAdvertisements(LinuxPaths(), iface, learned))
    {
        std::fprintf(stderr, "%s\n", ErrnoText(nError).c_str());
        return 1;
    }
    std::printf("flags%s%s%s\n", learned.received ? " received" : "",
                learned.managed ? " managed" : "", learned.otherConfig ? " other" : "");
    for (const LearnedRouter& router : learned.routers)
        std::printf("router %s %s %s %u\n", Ipv6Text(router.address.data()).c_str(),
                    PreferenceText(router.preference), Seconds(router.lifetime).c_str(),
                    router.metric);
    for (const LearnedPrefix& prefix : learned.prefixes)
        std::printf("prefix %s/%u%s%s %s %s\n", Ipv6Text(prefix.prefix.data()).c_str(),
                    prefix.length, prefix.onLink ? " on-link" : "",
                    prefix.autonomous ? " autonomous" : "", Seconds(prefix.validLifetime).c_str(),
                    Seconds(prefix.preferredLifetime).c_str());
    if (learned.mtu)
        std::printf("mtu %u\n", *learned.mtu);
    for (const Ipv6Address& server : learned.dnsServers)
        std::printf("dns %s %s\n", Ipv6Text(server.data()).c_str(), learned.dnsSource.c_str());
    for (const std::string& domain : learned.searchDomains)
        std::printf("domain %s %s\n", domain.c_str(), learned.dnsSource.c_str());
    return 0;
}
