// What `veyra --discover` prints: the servers found, as a table or as JSON,
// and the verdict on them (exit status and message) for cron and monitoring.
#pragma once

#include "linux/dhcp_discover.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// "3 s", "0.5 s".
std::string WaitText(std::chrono::milliseconds wait);

// One line per server: server identifier, where its offer came from (IPv4 and
// Ethernet address; a line of its own for each further path), the address
// offered, lease time, subnet mask, routers and DNS servers. With bAll, every
// option of each server's offer follows, decoded. Empty without servers.
std::string FormatDiscoveryText(const DiscoveryResult& result, bool bAll);

// The stable JSON form (README, "Find rogue DHCP servers"):
// {"interface", "client_mac", "transaction_id", "wait_ms",
//  "servers": [{"server_id", "paths": [{"address", "mac"}], "offers",
//               "offered_address", "lease_time" (seconds or null),
//               "subnet_mask" (or null), "routers": [], "dns_servers": [],
//               "options": [{"code", "name", "text", "hex"}] (with bAll only)}],
//  "ignored", "malformed", "dropped"}
std::string FormatDiscoveryJson(const std::string& strInterface, std::chrono::milliseconds wait,
                                const DiscoveryResult& result, bool bAll);

// What was seen besides the servers, for standard error.
std::string DiscoveryCountsText(const DiscoveryResult& result);

struct DiscoveryVerdict
{
    int m_nStatus = 0;
    std::string m_strMessage; // for standard error; empty when all is well
};

// kExitDone for exactly one server (the expected one, when one is expected);
// kExitNoServer for none; kExitOtherServers for more than one, or for any
// server but the expected one, with a line naming them.
DiscoveryVerdict JudgeDiscovery(const std::string& strInterface, std::chrono::milliseconds wait,
                                const DiscoveryResult& result,
                                std::optional<std::uint32_t> nExpectedServer);
