// The DHCPv6 options (RFC 8415 and its successors): one row per code, the
// second instance of the table DHCPv4 has.
#pragma once

#include "core/options/option_row.h"

#include <cstdint>

using Dhcpv6Row = OptionRow<std::uint16_t>;
using Dhcpv6Table = OptionTable<std::uint16_t>;

// Every named option, in code order.
extern const Dhcpv6Table kDhcpv6Options;
