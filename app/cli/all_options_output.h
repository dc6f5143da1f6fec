// Every option of a lease, decoded by the extended catalogue, in each output
// form of `veyra ADAPTER --all`. Each server's offer of `veyra --discover`
// is shown through the same functions.
#pragma once

#include "core/model/ipv6_rows.h"
#include "core/model/lease.h"

#include <nlohmann/json.hpp>

#include <string>

// Columns "Code", "Option" and "Value", one option a line in code order, the
// value's text made terminal-safe and, for an option whose bytes may end
// early, followed by " [may be cut short]"; then each line no bytes could be
// made of, with its code where known (else an empty code), its name and its
// text as written; then, where the lease knows when it was
// obtained, a blank line and its moments: "Obtained", "Renewal (T1)",
// "Rebinding (T2)" and "Expiry", in local time as ISO 8601.
std::string FormatAllRows(const Lease& lease);

// The same records as tab-separated values (see BuildTsvText) after the
// header "Code<TAB>Option<TAB>Value"; the moments follow as records with an
// empty code.
std::string FormatAllTsv(const Lease& lease);

// One object per option in code order: "family": "ipv4", then
// ExtendedOptionJson's "code", "name",
// "value", "text", "hex" and, only where true, "malformed"; "cut": true where
// the bytes may end early; then "source", the lease source that supplied it
// ("" where the lease does not say).
nlohmann::ordered_json AllOptionsJson(const Lease& lease);

// One object per line no bytes could be made of, in the order read:
// "family": "ipv4", "code"
// (null where the name has none), "name", "text" and "source".
nlohmann::ordered_json UnmappedOptionsJson(const Lease& lease);

// {"obtained", "renewal", "rebinding", "expiry"}: ISO 8601 local times, each
// null where it is unknown.
nlohmann::ordered_json LeaseMomentsJson(const Lease& lease);

// The document of `--all --json`: {"adapter", "options", "unmapped",
// "lease"}, with one option a line. Where the IPv6 part is shown (ipv6 not
// null), its options and lines follow the IPv4 ones in "options" and
// "unmapped", and the document goes on with "lease6" ({"source", "obtained"}:
// "" and null where there is no lease), "router_advertisement"
// (RouterAdvertisementJson), "routers" and "prefixes" (one a line).
std::string FormatAllJson(const std::string& adapter, const Lease& lease,
                          const Ipv6Part* ipv6 = nullptr);
