// NetworkManager's DHCP6Config options, by its names, as a DHCPv6 lease.
#pragma once

#include "core/model/lease6.h"

#include <map>
#include <string>

// The lease in NetworkManager's DHCPv6 options: "dhcp6_NAME" values become
// their options by name ("dhcp6_name_servers", "dhcp6_client_id", ...);
// "iaid" with "ip6_address" (and "renew", "rebind", "preferred_life",
// "max_life") an IA_NA with its IAADDR, with "ip6_prefix" ("2001:db8::/56")
// an IA_PD with its IAPREFIX; "life_starts", else "starts", is when it was
// obtained. Every other entry, and one that does not parse, is kept in
// unmapped. False when NetworkManager gave nothing.
bool Lease6FromNetworkManager(const std::map<std::string, std::string>& options, Lease6& lease);
