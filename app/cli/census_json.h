// The stable JSON form of `veyra --discover` (veyra(1), JSON): today's
// members of the untagged DHCPv4 discovery first, with their meaning, then
// the census: the families asked, one object per VLAN, and the verdict.
#pragma once

#include "app/cli/census_verdict.h"
#include "core/wire/census.h"

#include <chrono>
#include <string>

// {"interface", "client_mac", "transaction_id", "wait_ms", "servers": [...],
//  the DHCPv4 counts, "first_offer_ms",      (the untagged link's DHCPv4;
//                                             with VLANs null, [] and 0)
//  "families": ["dhcpv4", "dhcpv6", "routers"],
//  "vlans": [{"vlan" (null: untagged), "client_mac", "frames", "icmp_errors",
//             "other_vlan_answers", "silent" (why nothing answered, or null),
//             "dhcpv4": {"transaction_id", "servers", counts, "first_offer_ms"},
//             "dhcpv6": {"transaction_id", "client_duid", "servers": [...],
//                        counts, "first_advertise_ms"},
//             "routers": {"routers": [...], counts, "first_router_ms"}}]
//             (a family not asked: null),
//  "carrier", "unplanned_frames", "census_dropped",
//  "findings": ["veyra: ..."], "silences": ["veyra: ..."], "status"}
std::string FormatCensusJson(const std::string& interfaceName, std::chrono::milliseconds wait,
                             const CensusResult& result, const CensusVerdict& verdict, bool all);
