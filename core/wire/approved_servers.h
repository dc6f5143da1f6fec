// The address-givers a link is meant to have, as an administrator writes them,
// on the command line or one a line in a file:
//   10.77.0.1, 10.77.0.1@02:00:00:77:00:01   a DHCPv4 server by its identifier,
//                                            and the MAC its offers come from
//   duid:000300010200007700ff               a DHCPv6 server by its DUID (hex,
//                                            colons between bytes allowed)
//   fe80::1, 02:00:00:77:00:01               a router by its link-local address,
//                                            or by its Ethernet address alone
// each followed by "%VLAN" (1 to 4094) to approve it on that VLAN only;
// without it, an entry holds on the untagged link and on every VLAN.
#pragma once

#include "core/wire/census.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ApprovedKind
{
    Dhcpv4,
    Dhcpv6,
    Router,
};

struct ApprovedEntry
{
    ApprovedKind kind = ApprovedKind::Dhcpv4;
    std::uint32_t serverId = 0;         // Dhcpv4, host byte order
    std::optional<HardwareAddress> mac; // Dhcpv4's @MAC; a router's Ethernet address
    std::vector<std::uint8_t> duid;     // Dhcpv6
    std::optional<Ipv6Address> address; // a router's link-local address
    std::optional<std::uint16_t> vlan;  // empty: everywhere
};

// The bounds of a list file: far above any link's servers.
constexpr std::size_t kMaxApprovedBytes = 64 * 1024;
constexpr std::size_t kMaxApprovedServers = 1024;

// "10.77.0.1": four decimal parts of at most three digits each, no more.
bool ParseIpv4Text(std::string_view text, std::uint32_t& nAddress);

// "02:00:00:77:00:01", or with dashes.
bool ParseMacText(std::string_view text, HardwareAddress& address);

// One entry as above; nullopt when it is none.
std::optional<ApprovedEntry> ParseApprovedEntry(std::string_view text);

// The entry as ParseApprovedEntry reads it back, in the shortest form.
std::string ApprovedEntryText(const ApprovedEntry& entry);

// A list file: one entry a line; "#" starts a comment; blanks around an entry
// and empty lines are nothing. Appends to list; 0 when every line is good,
// otherwise the number (from 1) of the first bad line, or of the entry past
// kMaxApprovedServers. The caller bounds the text's size.
std::size_t ParseApprovedServers(std::string_view text, std::vector<ApprovedEntry>& list);

// Whether an entry of the list names the responder heard on the VLAN (empty:
// untagged). A DHCPv4 server without id is on no list.
bool IsApproved(const DiscoveredServer& server, std::optional<std::uint16_t> vlan,
                const std::vector<ApprovedEntry>& list);
bool IsApproved(const DiscoveredServer6& server, std::optional<std::uint16_t> vlan,
                const std::vector<ApprovedEntry>& list);
bool IsApproved(const AdvertisedRouter& router, std::optional<std::uint16_t> vlan,
                const std::vector<ApprovedEntry>& list);

// Whether the entry holds on the VLAN (empty: untagged).
bool AppliesTo(const ApprovedEntry& entry, std::optional<std::uint16_t> vlan);
