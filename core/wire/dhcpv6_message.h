// DHCPv6 client and server messages (RFC 8415 8) and the options inside them
// (RFC 8415 21.1): a 16-bit code and a 16-bit length before each option's data.
#pragma once

#include "core/model/lease6.h"
#include "core/model/router_advertisements.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// RFC 8415 7.3.
enum Dhcpv6MessageType : std::uint8_t
{
    kDhcpv6Solicit = 1,
    kDhcpv6Advertise = 2,
    kDhcpv6Request = 3,
    kDhcpv6Reply = 7,
    kDhcpv6InformationRequest = 11,
};

// The most data one option's 16-bit length can announce.
inline constexpr std::size_t kMaxDhcpv6OptionData = 0xFFFF;

struct Dhcpv6Message
{
    std::uint8_t type = 0;
    std::uint32_t transactionId = 0; // 24 bits
    Dhcpv6Options options;
};

// Appends the options in the bytes to options: true when the bytes are
// options to their last byte; false when an option's header or data runs
// past the end (what was read whole before it stays appended).
bool ReadDhcpv6Options(const std::uint8_t* data, std::size_t length, Dhcpv6Options& options);

// A message of at least its 4-byte header whose options read whole; else empty.
std::optional<Dhcpv6Message> ParseDhcpv6Message(const std::uint8_t* data, std::size_t length);

// Appends the options' bytes, each after its code and length (the data of
// an option that holds options); one over 65,535 bytes is cut to that length.
void WriteDhcpv6Options(const Dhcpv6Options& options, std::vector<std::uint8_t>& bytes);

// The addresses leased in the options' IA_NA and IA_TA (their IAADDR
// options, RFC 8415 21.6), in order; what does not read whole is passed over.
std::vector<Ipv6Address> LeasedAddresses(const Dhcpv6Options& options);

// The same addresses with the lifetimes their IAADDR options give, in seconds
// (0xFFFFFFFF: infinite).
struct LeasedAddressLifetimes
{
    Ipv6Address address{};
    std::uint32_t preferred = 0;
    std::uint32_t valid = 0;
};
std::vector<LeasedAddressLifetimes> LeasedAddressesWithLifetimes(const Dhcpv6Options& options);

// The shortest valid lifetime, in seconds, of the addresses and prefixes in
// the options' IA_NA, IA_TA and IA_PD (IAADDR, RFC 8415 21.6; IAPREFIX,
// 21.22): when the first of them ends. Empty where none has a finite one.
std::optional<std::uint32_t> ShortestValidLifetime(const Dhcpv6Options& options);

// The message's bytes; an option over 65,535 bytes is cut to that length.
std::vector<std::uint8_t> WriteDhcpv6Message(const Dhcpv6Message& message);
