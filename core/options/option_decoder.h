// Turns the raw bytes of one DHCP option into its parameter and data texts.
//
// Option data comes off the network: every rendering checks the length it is
// given and reads no byte beyond it, and no byte of it is ever used as a format.
#pragma once

#include "core/model/dhcp_option.h"

#include <cstddef>
#include <cstdint>

// Fills a fresh record from an option code and its data bytes (all multi-byte
// numbers in network byte order). Never fails.
void DecodeOption(std::uint32_t nCode, const std::uint8_t* pData, std::size_t nLength,
                  DhcpOption& option);

// The dotted-decimal text of the four bytes, in the order they stand.
CString FormatAddress(const std::uint8_t* pAddress);

// The local date and time the given number of seconds from now,
// e.g. "Tuesday, December 08, 2026 14:03:07"; empty if it cannot be converted.
CString FormatLeaseTime(std::int64_t nSeconds);

// The same form for an absolute calendar time (seconds since 1970 UTC).
CString FormatLocalTime(std::int64_t calendarTime);

// Longest text a text option shows.
constexpr std::size_t kMaxOptionText = 1023;

// RFC 2131: a lease time of all ones means the lease never ends.
constexpr std::uint32_t kInfiniteLease = 0xFFFFFFFFu;
