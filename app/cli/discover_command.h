// `veyra --discover IF`: find every DHCP server on a link. The arguments, and
// the run from settings to output and exit status, with the Linux back end
// handed in so that all of it is tested natively.
#pragma once

#include "linux/dhcp_discover.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct DiscoverCommand
{
    std::string m_strInterface;
    std::chrono::milliseconds m_wait{3000};
    std::optional<HardwareAddress> m_ClientMac; // empty: the interface's own
    bool m_bRandomClientMac = false;            // --client-mac random
    std::optional<std::uint32_t> m_nExpectedServer;
    bool m_bAll = false;
    bool m_bJson = false;
};

// Whether the arguments ask for a discovery at all.
bool AsksForDiscovery(const std::vector<std::string>& arguments);

// Reads the arguments of a discovery; empty when they make sense, otherwise
// what is wrong with them.
std::string ParseDiscoverCommand(const std::vector<std::string>& arguments,
                                 DiscoverCommand& command);

// The Linux back end: DiscoverDhcpServers and RandomLocalMac.
struct DiscoverBackEnd
{
    std::function<int(const DiscoverySettings&, DiscoveryResult&)> m_fnDiscover;
    std::function<int(HardwareAddress&)> m_fnRandomMac;
};

// What the run writes to standard output and standard error, and its status.
struct DiscoverOutcome
{
    std::string m_strOut;
    std::string m_strErr;
    int m_nStatus = 0;
};

// Announces the wait on standard error through fnProgress before it starts.
DiscoverOutcome RunDiscover(const DiscoverCommand& command, const DiscoverBackEnd& backEnd,
                            const std::function<void(const std::string&)>& fnProgress);
