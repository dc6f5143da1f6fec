// The DHCPv4 options (RFC 2132 and its successors): one row per code, for the
// window, the Linux editions and the requests both make.
#pragma once

#include "core/options/option_row.h"

#include <array>
#include <cstddef>
#include <cstdint>

using Dhcpv4Row = OptionRow<std::uint8_t>;
using Dhcpv4Table = OptionTable<std::uint8_t>;

// Every row, in code order: pad (0) first and end (255) last, which only the
// window shows, and between them every option with a format of its own.
extern const Dhcpv4Table kDhcpv4Options;

// The options the window asks for, in the order their rows appear: the rows'
// request order. The Windows program asks the DHCP client service in this order.
inline constexpr std::size_t kRequestedOptionCount = 46;
extern const std::array<std::uint8_t, kRequestedOptionCount> kRequestedOptions;

// How a client's text of an option code is read back: its row's wire type, or
// Bytes for a code without a row.
WireType OptionWireType(std::uint32_t code);
