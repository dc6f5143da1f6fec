// The text of an IPv6 address as RFC 5952 recommends it: lowercase hex groups
// without leading zeros, the longest run of two or more zero groups (the first
// of equal runs) written "::".
#pragma once

#include <cstdint>
#include <string>

// "2001:db8::1" from the 16 bytes in network byte order.
std::string Ipv6Text(const std::uint8_t* pAddress);
