// The DHCPv4 part of what `veyra --discover` prints: the servers of one VLAN
// (or the untagged link) as a table or as JSON, and their counts.
#pragma once

#include "core/wire/census.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <string>
#include <vector>

// "3 s", "0.5 s".
std::string WaitText(std::chrono::milliseconds wait);

// From the probes to the first answer, in milliseconds to the microsecond.
double FirstAnswerMs(std::chrono::microseconds elapsed);

// One line per server, flagged ones first: server identifier ("none"
// without one), where its offer came from (IPv4 and Ethernet address), the
// address offered, lease time, subnet mask, routers, DNS servers (each as the
// extended decoder reads it, empty where the offer has none or its bytes do
// not fit) and its flags (conflict, no-server-id, unexpected). With all,
// every option of each server's offer follows, as --all shows a lease's.
// Empty without servers.
std::string FormatServerTable(const std::vector<DiscoveredServer>& servers, bool all);

// {"server_id" (or null), "paths": [{"address", "mac"}] (the one source),
//  "offers", "offered_address", "lease_time" (seconds or null), "subnet_mask"
//  (or null), "routers": [], "dns_servers": [], "flags": [], "options":
//  AllOptionsJson's array, "source" "offer" (with all only)}
nlohmann::ordered_json ServerJson(const DiscoveredServer& server, bool all);

// The members after "servers": "ignored", "malformed", "dropped", "packets",
// "offers", "fragments", "no_server_id", "other_xid", "other_chaddr",
// "naks", "first_offer_ms" (from the DHCPDISCOVER, or null), added to object.
void AddDhcpv4Counts(nlohmann::ordered_json& object, const DiscoveryCounts& counts,
                     const std::optional<std::chrono::microseconds>& firstOffer);

// The counts of the run on one line, for standard error.
std::string DiscoveryCountsText(std::size_t servers, const DiscoveryCounts& counts);
