// systemd-networkd's DHCPv4 lease file (/run/systemd/netif/leases/<ifindex>):
// KEY=value lines, or in newer releases one JSON object.
#pragma once

#include "core/model/lease.h"

#include <cstddef>
#include <string_view>

// Reads the options networkd kept: 0 when the text held the leased address or
// an option, ENOENT when it held neither, EBADMSG for JSON that does not parse.
//
// Keys compare without case and without '_' in both forms.
//
// KEY=value: ADDRESS is the leased address; the keys of the table in the .cpp
// become options (a value may be quoted; '#' and ';' start comment lines;
// unknown keys and values that do not parse are skipped; a later line for the
// same key that parses replaces an earlier one). OPTION_224 to OPTION_254 are private
// options in hex. NEXT_SERVER is no option, and CLIENTID is the client's own
// identifier, not the server's: both are skipped. STATIC_ROUTES (option 33)
// holds what networkd made of the server's routes, each destination cut to its
// class's network, so it can only be written back as that.
//
// JSON (the first non-blank byte is '{'): the members of the top-level object
// under the same names ("Address", "ServerAddress", "DomainSearchList",
// "Option224"). A value may be a string (read as the KEY=value text), a
// non-negative integer, an address as an array of four bytes ([10, 99, 0, 1]),
// or an array of strings and such addresses (a list). Members of any other type
// are skipped. A malformed UTF-8 byte is read as U+FFFD. Nesting deeper than
// kMaxJsonDepth below the object, or more than kMaxJsonValues values in all,
// make the text a bad message, as does any text that is not strict JSON.
int ParseNetworkdLease(std::string_view text, Lease& lease);

inline constexpr int kMaxJsonDepth = 32;
inline constexpr std::size_t kMaxJsonValues = 4096;
