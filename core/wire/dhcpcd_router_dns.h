// The RDNSS and DNSSL (RFC 8106) that dhcpcd took from router advertisements,
// as its IPv6 state ("dhcpcd -U -6 IF") names them: a block of NUL-ended
// "name=value" variables with "protocol=ra", where each router's options are
// "nd<R>_rdnss<N>_servers=2001:db8::53 2001:db8::54" and
// "nd<R>_dnssl<N>_search=lab.example corp.example".
#pragma once

#include "core/model/router_advertisements.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// More than routers send; a state over these bounds is cut at them.
inline constexpr std::size_t kMaxRouterDnsServers = 64;
inline constexpr std::size_t kMaxRouterSearchDomains = 64;
inline constexpr std::size_t kMaxSearchDomainText = 253; // RFC 1035 2.3.4

// Adds to servers and domains, in dhcpcd's order and each once, what the
// block holds when it is the router advertisement state of the named
// interface. A server that is no IPv6 address and a domain over the bound
// are skipped. 0; ENOENT for a block of another interface or protocol;
// EBADMSG for a block that is not NUL-ended "name=value" variables.
int RouterDnsFromDhcpcdState(std::string_view state, std::string_view interfaceName,
                             std::vector<Ipv6Address>& servers, std::vector<std::string>& domains);
