// The DHCP servers a link is meant to have, as an administrator writes them:
// "ID" or "ID@MAC" (the server identifier, and the Ethernet address its offers
// come from), on the command line or one a line in a file.
#pragma once

#include "core/wire/dhcp_discovery.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ApprovedServer
{
    std::uint32_t m_nServerId = 0; // host byte order
    std::optional<HardwareAddress> m_Mac;
};

// The bounds of a list file: far above any link's servers.
constexpr std::size_t kMaxApprovedBytes = 64 * 1024;
constexpr std::size_t kMaxApprovedServers = 1024;

// "10.77.0.1": four decimal parts of at most three digits each, no more.
bool ParseIpv4Text(std::string_view text, std::uint32_t& nAddress);

// "02:00:00:77:00:01", or with dashes.
bool ParseMacText(std::string_view text, HardwareAddress& address);

// "ID" or "ID@MAC".
std::optional<ApprovedServer> ParseApprovedServer(std::string_view text);

// A list file: one entry a line; "#" starts a comment; blanks around an entry
// and empty lines are nothing. Appends to list; 0 when every line is good,
// otherwise the number (from 1) of the first bad line, or of the entry past
// kMaxApprovedServers. The caller bounds the text's size.
std::size_t ParseApprovedServers(std::string_view text, std::vector<ApprovedServer>& list);

// Whether the list names the server: its id, and its source MAC where the
// entry gives one. A server without id is on no list.
bool IsApproved(const DiscoveredServer& server, const std::vector<ApprovedServer>& list);
