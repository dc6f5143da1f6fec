// Every option of a DHCPv6 message or lease, decoded through kDhcpv6Options
// into the same ExtendedOption as DHCPv4's: a line for people, a typed JSON
// value and the hex. Option data comes off the network: nothing is read past
// the length given, and bytes that do not fit the type fall back to hex.
#pragma once

#include "core/model/lease6.h"
#include "core/options/extended_decoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Decodes one option's data bytes (without code and length). Never fails.
ExtendedOption DecodeDhcpv6Option(std::uint16_t code, const std::uint8_t* data, std::size_t length);

// Every option, in the order given: a DHCPv6 code may repeat.
std::vector<ExtendedOption> DecodeAllOptions6(const Dhcpv6Options& options,
                                              ExtendedParts parts = ExtendedParts::TextAndValue);
