// `veyra --check-lease IF`: the leases IF's DHCP clients hold, as a check in
// the monitoring-plugin conventions: the time left on each, against -w and -c
// in hours, and whether the server that gave it still answers.
#pragma once

#include "app/cli/discover_command.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct LeaseCheckCommand
{
    std::string interfaceName;
    unsigned families = kCensusDhcpv4 | kCensusDhcpv6; // -4, -6
    std::optional<std::chrono::hours> warning;         // -w HOURS left
    std::optional<std::chrono::hours> critical;        // -c HOURS left
    std::chrono::milliseconds wait = kDefaultDiscoveryWait;
};

// Reads the arguments of --check-lease ("--interface IF", "-4", "-6", "-w",
// "-c", "--wait"); empty when they make sense, otherwise what is wrong.
std::string ParseLeaseCheckCommand(const std::vector<std::string>& arguments,
                                   LeaseCheckCommand& command);

// The check: the leases from backEnd.leases, the servers asked through
// backEnd.census, the time from backEnd.now.
DiscoverOutcome RunLeaseCheck(const LeaseCheckCommand& command, const DiscoverBackEnd& backEnd);
