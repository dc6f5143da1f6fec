// The DHCPv6 options (RFC 8415 and its successors): one row per code, the
// second instance of the table DHCPv4 has.
#pragma once

#include "core/options/option_row.h"

#include <cstddef>
#include <cstdint>

using Dhcpv6Row = OptionRow<std::uint16_t>;
using Dhcpv6Table = OptionTable<std::uint16_t>;

// Every row's code is below this: the decoder finds rows in a table of that size.
constexpr std::size_t kDhcpv6RowCodeLimit = 256;

// Every named option, in code order.
extern const Dhcpv6Table kDhcpv6Options;
