// The IPv6 part of `veyra ADAPTER` (its DHCPv6 lease, the answer to an
// Information-request, the router advertisements) in each output form. Each
// follows the IPv4 part as it is, byte for byte, or stands alone under -6.
#pragma once

#include "core/model/ipv6_rows.h"

#include <nlohmann/json.hpp>

#include <string>

// The rows under "IPv6 Parameter" and "IPv6 Data", in columns.
std::string FormatIpv6Rows(const Ipv6Part& part);

// The records that follow the IPv4 ones in the TSV: a record "IPv6" with an
// empty data cell, then the rows.
std::string FormatIpv6Tsv(const Ipv6Part& part);

// What Copy All appends to the IPv4 rows: the "IPv6" row, then the rows;
// and the same made to show on a terminal.
std::string FormatIpv6CopyAll(const Ipv6Part& part);
std::string FormatIpv6CopyAllShown(const Ipv6Part& part);

// The objects of `veyra ADAPTER --json` for the IPv6 part, each with "family":
// "ipv6": one per option of the lease and of the Information-request's
// answer ("code", "parameter", "data", "hex", "source"), then "kind":
// "router_advertisement" (RouterAdvertisementJson's members), one "kind":
// "router" per router and one "kind": "prefix" per prefix.
nlohmann::ordered_json Ipv6RowsJson(const Ipv6Part& part);

// {"received", "managed", "other_config", "mtu" (null where none was
// given), "dns_servers", "search_domains", "dns_source" ("" where no client
// held them)}.
nlohmann::ordered_json RouterAdvertisementJson(const RouterAdvertisements& routers);

// {"address", "preference", "lifetime", "metric"} and {"prefix", "on_link",
// "autonomous", "valid_lifetime", "preferred_lifetime"}: lifetimes in seconds
// left, null for infinite.
nlohmann::ordered_json RouterJson(const LearnedRouter& router);
nlohmann::ordered_json PrefixJson(const LearnedPrefix& prefix);

// `--all`: the lines after the IPv4 ones, under "Code", "Option" and
// "Value": the rows that open each part with an empty code, every option of
// the lease and of the answer in the message's order with its code, name and
// text (" [may be cut short]" after a value that may end early), the lines no
// bytes could be made of, and the router advertisements' rows.
std::string FormatAllIpv6Rows(const Ipv6Part& part);
// The same as TSV records, after a record "IPv6" in the middle cell.
std::string FormatAllIpv6Tsv(const Ipv6Part& part);

// `--all --json`'s objects of the IPv6 options: "family": "ipv6", then
// ExtendedOptionJson's members as for IPv4, "cut" and "source" (the lease's
// source, "inform" for the answer's options); and of the lines no bytes
// could be made of.
nlohmann::ordered_json AllIpv6OptionsJson(const Ipv6Part& part);
nlohmann::ordered_json UnmappedIpv6Json(const Ipv6Part& part);
