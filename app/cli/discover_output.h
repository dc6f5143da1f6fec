// What `veyra --discover` prints: the servers found, as a table or as JSON,
// and the verdict on them (exit status and message) for cron and monitoring.
#pragma once

#include "core/wire/approved_servers.h"
#include "linux/dhcp_discover.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// "3 s", "0.5 s".
std::string WaitText(std::chrono::milliseconds wait);

// One line per server: server identifier ("none" without one), where its
// offer came from (IPv4 and Ethernet address), the address offered, lease
// time, subnet mask, routers, DNS servers (each as the extended decoder reads
// it, empty where the offer has none or its bytes do not fit) and its flags
// (conflict, no-server-id, unexpected). With all, every option of each
// server's offer follows, as --all shows a lease's. Empty without servers.
std::string FormatDiscoveryText(const DiscoveryResult& result, bool all);

// The stable JSON form (veyra(1)), one member a line and one server a line:
// {"interface", "client_mac", "transaction_id", "wait_ms",
//  "servers": [{"server_id" (or null), "paths": [{"address", "mac"}] (the
//               one source), "offers", "offered_address", "lease_time"
//               (seconds or null), "subnet_mask" (or null), "routers": [],
//               "dns_servers": [], "flags": [],
//               "options": AllOptionsJson's array, "source" "offer" (with all only)}],
//  "ignored", "malformed", "dropped", "packets", "offers", "fragments",
//  "no_server_id", "other_xid", "other_chaddr", "naks",
//  "first_offer_ms" (from the DHCPDISCOVER, or null)}
std::string FormatDiscoveryJson(const std::string& interfaceName, std::chrono::milliseconds wait,
                                const DiscoveryResult& result, bool all);

// Every count of the run on one line, for standard error.
std::string DiscoveryCountsText(const DiscoveryResult& result);

struct DiscoveryVerdict
{
    int m_nStatus = 0;
    std::string m_strMessage; // for standard error; empty when all is well
};

// kExitNoServer for none. kExitOtherServers for a conflict or a server
// without id, for a server flagged unexpected (approved not empty), or
// without an approved list for more than one server; one line for each
// finding. kExitDone otherwise.
DiscoveryVerdict JudgeDiscovery(const std::string& interfaceName, std::chrono::milliseconds wait,
                                const DiscoveryResult& result,
                                const std::vector<ApprovedServer>& approved);
