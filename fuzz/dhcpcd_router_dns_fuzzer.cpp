// Reads arbitrary bytes as dhcpcd's IPv6 state block: RDNSS and DNSSL stay
// within their bounds, and a refused block adds nothing.
#include "core/wire/dhcpcd_router_dns.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pInput, std::size_t nSize)
{
    const std::string_view state(reinterpret_cast<const char*>(pInput), nSize);
    std::vector<Ipv6Address> servers;
    std::vector<std::string> domains;
    const int nResult = RouterDnsFromDhcpcdState(state, "vcli", servers, domains);
    if (nResult != 0 && nResult != ENOENT && nResult != EBADMSG)
        std::abort();
    if (nResult != 0 && (!servers.empty() || !domains.empty()))
        std::abort();
    if (servers.size() > kMaxRouterDnsServers || domains.size() > kMaxRouterSearchDomains)
        std::abort();
    for (const std::string& domain : domains)
        if (domain.empty() || domain.size() > kMaxSearchDomainText)
            std::abort();
    return 0;
}
