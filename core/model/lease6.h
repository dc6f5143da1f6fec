// Lease6: what a Linux DHCPv6 client keeps of its lease, as the options of the
// server's Reply (RFC 8415 21). The identity association options (IA_NA 3,
// IA_TA 4, IA_PD 25) carry their IAID, T1, T2 and addresses or prefixes with
// their lifetimes inside them, as on the wire; the client's and the server's
// DUID are options 1 and 2, the server's preference option 7.
#pragma once

#include "core/model/lease.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// One option of a DHCPv6 message: its code and data, without the 4 bytes of
// code and length.
struct Dhcpv6Option
{
    std::uint16_t code = 0;
    OptionBytes data;
};

// A message's options in the order it holds them: a code may repeat (an IA_NA
// per IAID, one IAADDR per address).
using Dhcpv6Options = std::vector<Dhcpv6Option>;

// An option line a client wrote that gave no bytes, kept as written.
struct UnmappedOption6
{
    std::string name;
    std::optional<std::uint16_t> code; // where the name is known
    std::string text;
};

struct Lease6
{
    Dhcpv6Options options;
    // The one source that supplied the lease ("dhcpcd", "networkd", "dhclient",
    // "NetworkManager"; "inform" for an Information-request's Reply).
    std::string source;
    std::vector<UnmappedOption6> unmapped;
    // Codes whose bytes may end early (dhcpcd's unprivileged socket).
    std::set<std::uint16_t> cutOptions;
    // What each source answered, by name: 0, ENOENT for no lease, or the errno
    // value of why it could not look.
    std::map<std::string, int> answers;
    // Seconds since 1970-01-01 00:00:00 UTC, where the client recorded it; the
    // lifetimes inside the IA options count from here.
    std::optional<std::int64_t> obtained;
};
