// The IPv6 side of one request, and its rows for people: the DHCPv6 lease,
// the answer to an Information-request and what router advertisements taught
// the interface, in the order every output of both front ends shows them.
// The rows hold the peers' bytes as they are; each output shows them through
// the peer text rule (core/model/peer_text.h).
#pragma once

#include "core/model/lease6.h"
#include "core/model/result_rows.h"
#include "core/model/router_advertisements.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Each error is 0 or the errno value of why that part is missing.
struct Ipv6Part
{
    int leaseError = 0;
    Lease6 lease;
    bool informAsked = false;
    int informError = 0;
    Lease6 inform; // the Information-request's Reply
    int routersError = 0;
    RouterAdvertisements routers;
};

// Whether the part has anything to show beside IPv4: a DHCPv6 lease, an
// answered Information-request, or anything learned from routers. Where it
// has not, a request of both families shows its IPv4 rows alone, as before
// Veyra knew IPv6.
bool HasIpv6Findings(const Ipv6Part& part);

// The parameter of the row that opens the IPv6 part of a list that holds
// both families (the window's list, Copy All, TSV).
inline constexpr const char* kIpv6Heading = "IPv6";

// "low", "medium", "high" (RFC 4191).
const char* RouterPreferenceName(RouterPreference preference);

// "2001:db8::/64".
std::string PrefixText(const LearnedPrefix& prefix);

// "1800 s", or "infinite" for a lifetime that never ends.
std::string LifetimeText(const std::optional<std::uint32_t>& seconds);

// One row per option in the message's order, its name and text from the
// DHCPv6 catalogue; an identity association (IA_NA, IA_TA, IA_PD) as a row
// of its IAID, T1 and T2, then a row for each option inside it (an address or
// prefix with its lifetimes), its name indented by two spaces. Then the lines
// no bytes could be made of.
std::vector<ResultRow> BuildLease6Rows(const Lease6& lease);

// The M and O flags, each router (preference, lifetime left, metric), each
// prefix (flags, lifetimes), the MTU, and the RDNSS and DNSSL with the client
// that held them.
std::vector<ResultRow> BuildRouterRows(const RouterAdvertisements& routers);

// The whole IPv6 part: a row "DHCPv6 Lease" with its source (or "none") and
// the lease's rows; where an Information-request was sent, a row "DHCPv6
// Information-request" ("answered" or "no answer") and its answer's rows;
// then a row "Router Advertisements" ("received" or "none received") and
// their rows. The rows that open a part carry kImageAdapter, the server's
// identifier kImageServer.
std::vector<ResultRow> BuildIpv6Rows(const Ipv6Part& part);
