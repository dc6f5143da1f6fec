// Every option of a DHCPv6 message or lease, decoded through kDhcpv6Options
// into the same ExtendedOption as DHCPv4's: a line for people, a typed JSON
// value and the hex. Option data comes off the network: nothing is read past
// the length given, and bytes that do not fit the type fall back to hex with
// m_bMalformed set. A code without a row is "Option N", its value the hex.
//
// DHCPv6 rows share DHCPv4's value types where the layout is the same (UInt8,
// UInt16, UInt32, UInt16List, Seconds, Text, Presence, NamedUInt8,
// Authentication, CivicLocation, GeoLoc, UriList, PortParameters,
// VirtualSubnet, InterfaceId: see extended_decoder.h). DHCPv6's own:
//   Duid              by type: {"type": 1, "hardware_type": 1, "time": 820540800,
//                      "time_text": "2026-01-01 00:00:00 UTC",
//                      "link_layer_address": "aa:bb:cc:dd:ee:ff"} (LLT; the time counts
//                     seconds from 2000-01-01 00:00:00 UTC), {"type": 2, "enterprise": 4491,
//                     "identifier": "0a0b"} (EN), {"type": 3, "hardware_type": 1,
//                     "link_layer_address": "aa:bb:cc:dd:ee:ff"} (LL), {"type": 4,
//                     "uuid": "00112233-4455-6677-8899-aabbccddeeff"} (UUID), else
//                     {"type": 9, "hex": "0a0b"}
//   IaNa (also IA_PD) {"iaid": 1, "t1": 3600, "t2": 5400, "options": [nested]}
//   IaTa              {"iaid": 1, "options": [nested]}
//   IaAddress         {"address": "2001:db8::10", "preferred_lifetime": 3600,
//                      "valid_lifetime": 7200, "options": [nested]}
//   IaPrefix          {"preferred_lifetime": 3600, "valid_lifetime": 7200,
//                      "prefix": "2001:db8:100::/56", "options": [nested]}
//   Options6          [nested]
//   nested            {"code": 13, "name": "Status Code", "value": ...}, with
//                     "malformed": true where the bytes do not fit; options nest at most
//                     8 deep (kMaxNesting6), deeper ones are malformed
//   RelayMessage      {"msg_type": 7, "name": "Reply", "transaction_id": "0a0b0c",
//                      "options": [nested]}, or for Relay-forw and Relay-repl
//                     {"msg_type": 12, "name": "Relay-forw", "hop_count": 0,
//                      "link_address": "2001:db8::1", "peer_address": "fe80::1",
//                      "options": [nested]}; "name" is null for an unknown type
//   OptionCodes       [{"code": 23, "name": "DNS Recursive Name Server"}]; "name" is null
//                     for a code without a row
//   Hundredths        a number of hundredths of a second (65535: that or more)
//   Address6          "2001:db8::1"
//   Addresses6        ["2001:db8::53", "2001:db8::54"]
//   StatusCode6       {"code": 0, "name": "Success", "message": "all is well"}; "name" is
//                     null for an unknown status
//   UserClasses6      ["class-a", "class-b"]
//   VendorClass6      {"enterprise": 4491, "data": ["646f63736973"]}
//   VendorOptions6    {"enterprise": 4491, "suboptions": [{"code": 1, "hex": "0a0b"}]}
//   DomainList6       ["lab.example", "corp.example"] (no compression in DHCPv6)
//   DomainName6       "aftr.lab.example" (fully qualified: ended by its root label)
//   ClientFqdn6       {"flags": 1, "name": "host.lab.example"} (a partial name without
//                     its root label; "" for none)
//   NtpServer         [{"code": 1, "name": "Server Address", "value": "2001:db8::123"},
//                      {"code": 2, "name": "Multicast Address", "value": "ff05::101"},
//                      {"code": 3, "name": "Server FQDN", "value": "ntp.lab.example"}];
//                     an unknown sub-option has a null name and its hex as the value
//   LinkLayerAddress  {"type": 1, "address": "aa:bb:cc:dd:ee:ff"}
//   RemoteId          {"enterprise": 4491, "remote_id": "0a0b"}
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
