// `veyra --discover IF`: find every DHCP server on a link. The arguments, and
// the run from settings to output and exit status, with the Linux back end
// handed in so that all of it is tested natively.
#pragma once

#include "core/wire/approved_servers.h"
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
    std::chrono::milliseconds m_wait = kDefaultDiscoveryWait;
    std::optional<HardwareAddress> m_ClientMac; // empty: the interface's own
    bool m_bRandomClientMac = false;            // --client-mac random
    std::vector<ApprovedServer> m_approved;     // every --expect
    std::vector<std::string> m_expectFiles;     // every --expect-file, read by RunDiscover
    bool m_bAll = false;
    bool m_bJson = false;
};

// Reads the arguments of a discovery; empty when they make sense, otherwise
// what is wrong with them.
std::string ParseDiscoverCommand(const std::vector<std::string>& arguments,
                                 DiscoverCommand& command);

bool StandardErrorIsTerminal();

// The Linux back end: DiscoverDhcpServers and RandomLocalMac, and whether
// standard error is a terminal (where the wait shows its progress).
struct DiscoverBackEnd
{
    std::function<int(const DiscoverySettings&, DiscoveryResult&)> m_fnDiscover;
    std::function<int(HardwareAddress&)> m_fnRandomMac;
    std::function<bool()> m_fnErrorIsTerminal = StandardErrorIsTerminal;
};

// What the run writes to standard output and standard error, and its status.
struct DiscoverOutcome
{
    std::string m_strOut;
    std::string m_strErr;
    int m_nStatus = 0;
};

// Reads the --expect-file lists first (a file that cannot be read, or a bad
// line in it, ends the run with status 2). Writes to standard error through
// fnProgress as the wait goes: on a terminal a line rewritten in place (time
// left, offers so far) and cleared at the end, elsewhere one line announcing
// the wait.
DiscoverOutcome RunDiscover(const DiscoverCommand& command, const DiscoverBackEnd& backEnd,
                            const std::function<void(const std::string&)>& fnProgress);
