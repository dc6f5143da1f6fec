// DHCPv6 options as Linux clients write them down in text (dhclient's
// "dhcp6.name-servers", dhcpcd's "dhcp6_name_servers", NetworkManager's),
// turned back into the option bytes the server sent (RFC 8415 21), and the
// identity association options rebuilt from their parts.
#pragma once

#include "core/model/lease6.h"
#include "core/model/router_advertisements.h"

#include <cstdint>
#include <optional>
#include <string_view>

// The code of an option by its name as dhclient writes it after "dhcp6."
// ("name-servers"); dhcpcd's and NetworkManager's names are the same with '_'
// for '-'. Nullopt for a name not known.
std::optional<std::uint16_t> Dhcpv6TextCode(std::string_view name);

// The option given by its name and value text, or nullopt for a name not
// known, an option built from parts (the identity associations, the status
// code) or a value that does not parse. The texts the clients write:
//   identifiers, other bytes   "0:1:0:1:32:ad" or "00010001" or a quoted text
//   numbers                    decimal
//   addresses                  "2001:db8::53 2001:db8::54", also with commas
//   domain names               "\"lab.test.\", \"corp.test.\"" or "lab.test corp.test"
//   texts                      "\"text\"" with escapes, or the bare text
//   flags                      any value: the option has no data
std::optional<Dhcpv6Option> EncodeDhcpv6OptionText(std::string_view name, std::string_view value);

// Whether the named option is a text, which dhcpcd passes on unescaped and
// may cut short.
bool IsDhcpv6TextOption(std::string_view name);

// An IPv6 address in any RFC 4291 2.2 text form.
std::optional<Ipv6Address> ParseIpv6Text(std::string_view text);

// RFC 8415 21.4, 21.5, 21.21: an IA_NA, IA_TA or IA_PD with the options inside it.
// An IA_TA has no T1 and T2.
Dhcpv6Option IdentityAssociation(std::uint16_t code, const OptionBytes& iaid, std::uint32_t t1,
                                 std::uint32_t t2, const Dhcpv6Options& inside);

// RFC 8415 21.6: IAADDR.
Dhcpv6Option IaAddress(const Ipv6Address& address, std::uint32_t preferred, std::uint32_t valid);

// RFC 8415 21.22: IAPREFIX.
Dhcpv6Option IaPrefix(const Ipv6Address& prefix, std::uint8_t length, std::uint32_t preferred,
                      std::uint32_t valid);

// RFC 8415 21.13: a status code and its UTF-8 message.
Dhcpv6Option StatusCode(std::uint16_t status, std::string_view message);

// A status code by its RFC 8415 21.13 name ("success", "NoAddrsAvail") or in decimal.
std::optional<std::uint16_t> ParseStatusText(std::string_view text);

// The RFC 8415 7.1 IAID as 4 bytes from "e6:a7:13:5e", "e6a7135e" or, as
// dhclient writes one whose bytes print, a quoted text "xz>\035"; else nullopt.
std::optional<OptionBytes> ParseIaidText(std::string_view text);
