// What `veyra --discover` prints as text: one summary line per family asked,
// then the responders grouped per VLAN (untagged: no VLAN heading), flagged
// ones first within each family; a VLAN where nothing answered is named
// with what was seen there. Every peer's text is shown through ShownPeerText.
#pragma once

#include "app/cli/census_verdict.h"
#include "core/wire/census.h"

#include <string>

// "DHCPv4: 2 servers on 3 of 4 VLANs; 1 finding", "DHCPv6: no server",
// "Routers: 1 router" (untagged).
std::string CensusSummaryText(const CensusResult& result, const CensusVerdict& verdict);

// The summary, a blank line, and each VLAN's part: the DHCPv4 table
// (FormatServerTable), each DHCPv6 server (DUID as the DHCPv6 catalogue
// reads it, path, preference, the addresses and prefixes it would lease, DNS
// servers, domains, flags; with all every option of its Advertise) and each
// router (path, lifetime, preference, M and O, prefixes with their flags and
// lifetimes, MTU, RDNSS, DNSSL, flags).
std::string FormatCensusText(const CensusResult& result, const CensusVerdict& verdict, bool all);

// The counts of every family over all VLANs, one line each, for standard error.
std::string CensusCountsText(const CensusResult& result);

// What a DHCPv6 server would lease and tell, through the DHCPv6 catalogue:
// the addresses of its IA_NAs, the prefixes of its IA_PDs, its DNS servers
// (option 23) and domains (option 24).
struct Server6Offer
{
    std::vector<std::string> addresses;
    std::vector<std::string> prefixes;
    std::vector<std::string> dnsServers;
    std::vector<std::string> domains;
};
Server6Offer ReadServer6Offer(const DiscoveredServer6& server);

// "3600 s"; "infinite" for 0xFFFFFFFF.
std::string LifetimeText(std::uint32_t seconds);
