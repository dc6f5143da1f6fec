// One DHCP option's value as Linux DHCP clients write it down in text
// (dhclient, NetworkManager, systemd-networkd), turned back into the bytes
// the server sent (RFC 2132, RFC 3442, RFC 1035 names).
//
// Every value comes from a file or the bus: it either parses whole or gives
// nothing, never part of an option.
#pragma once

#include "core/model/lease.h"
#include "core/options/option_catalogue.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// How a client writes an option's value: by the option's wire type, text
// by text ("10.99.0.1,10.99.0.2" for an AddressList, "\"lab.test\"" with
// \" \\ \ooo escapes or bare for Text, "1:4:de:ad" or "0104dead" for Bytes,
// "24.10.99.5.10.99.0.1" or "10.99.5.0/24 10.99.0.1" for ClasslessRoutes ...).
//
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
std::optional<OptionBytes> EncodeOptionValue(WireType type, std::string_view value);

// A dotted-decimal IPv4 address in host byte order: "10.99.0.146" is 0x0A630092.
std::optional<std::uint32_t> ParseAddressText(std::string_view text);

// A decimal number of at most nMax, digits only.
std::optional<std::uint64_t> ParseDecimalText(std::string_view text, std::uint64_t nMax);
