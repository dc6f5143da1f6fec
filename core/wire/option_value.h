// One DHCP option's value as Linux DHCP clients write it down in text
// (dhclient, NetworkManager, systemd-networkd), turned back into the bytes
// the server sent (RFC 2132, RFC 3442, RFC 1035 names).
//
// Every value comes from a file or the bus: it either parses whole or gives
// nothing, never part of an option.
#pragma once

#include "core/model/lease.h"
#include "core/options/dhcpv4_options.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// One row of a client's table of option names: the name it writes and the
// option's code. The value is written as the code's wire type, unless the
// row names the client's own format for it.
struct OptionTextName
{
    const char* pszName;
    std::uint8_t nCode;
    std::optional<WireType> ownFormat = std::nullopt;
};

// The format of a row's values: its own, or else the wire type of its code.
WireType TextFormat(const OptionTextName& row);

// The most option bytes one DHCP message can carry: a UDP datagram's payload
// less the fixed BOOTP fields and the magic cookie.
inline constexpr std::size_t kMaxOptionBytes = 65507 - 240;

// The option's bytes from its value text, or nullopt when the text does not
// parse as the type (a bad address, a number out of range, an odd hex digit).
// The texts the clients write for each type:
//   Address          "10.99.0.1"
//   Addresses        "10.99.0.1,10.99.0.2" or "10.99.0.1 10.99.0.2"
//   AddressPairs     "10.99.5.0 10.99.0.1,...": destination and router
//   ClassfulRoutes   "10.0.0.0/8,10.99.0.1 ...": every prefix its class's
//   ClasslessRoutes  "24.10.99.5.10.99.0.1", "24,10,...", "10.99.5.0/24 10.99.0.1"
//   SipServers       addresses, as for Addresses
//   UInt8 ... Int32  decimal; the lists as Addresses'
//   Boolean          "true"/"false", "on"/"off"
//   Text             "\"lab.test\"" with \" \\ \t \n \r \ooo escapes, or the bare text
//   DomainList       "\"lab.test.\", \"corp.test.\"" or "lab.test corp.test"
//   Bytes            "1:4:de:ad" (1- or 2-digit groups), "0104dead", or a quoted text
std::optional<OptionBytes> EncodeOptionValue(WireType type, std::string_view value);

// A dotted-decimal IPv4 address in host byte order: "10.99.0.146" is 0x0A630092.
std::optional<std::uint32_t> ParseAddressText(std::string_view text);

// A decimal number of at most nMax, digits only.
std::optional<std::uint64_t> ParseDecimalText(std::string_view text, std::uint64_t nMax);
