// Every option of a lease, decoded through the extended catalogue into a line
// for people and a typed JSON value (the Linux editions' --all and --json).
//
// Option data comes off the network: each type checks the length it is given,
// reads no byte beyond it, and falls back to hex where the bytes do not fit.
//
// The typed value (ExtendedOption::m_value) of each ValueType:
//   Bytes             "0a0b0c" (lowercase hex, no separators; "" for no data)
//   Address           "10.0.0.1"
//   Addresses         ["10.0.0.1", "10.0.0.2"]
//   AddressMaskPairs  [{"address": "10.0.0.0", "mask": "255.0.0.0"}]
//   StaticRoutes      [{"destination": "10.1.0.0", "router": "10.0.0.1"}]
//   UInt8 ... Int32   a number
//   UInt8List, UInt16List  [1, 2]
//   Boolean           true or false
//   Text              "lab.example" (trailing NULs deleted, as RFC 2132 2 asks; also in
//                     FlagAndText's text and StatusCode's message)
//   Seconds           a number of seconds (4294967295 is infinite)
//   NamedUInt8        {"code": 5, "name": "DHCPACK"}; "name" is null for a value without one
//   ClasslessRoutes   [{"destination": "10.0.0.0/8", "router": "10.0.0.1"}]
//   DomainList        ["lab.example", "corp.example"]
//   SipServers        ["sip.example"] (encoding 0) or ["10.0.0.5"] (encoding 1)
//   ClientFqdn        {"flags": 5, "rcode1": 0, "rcode2": 0, "name": "host.lab.example"}
//   RelayAgentInfo    [{"code": 1, "name": "Agent Circuit ID", "hex": "657468"}]; "name" is
//                     null for a sub-option without one
//   VendorClasses     [{"enterprise": 4491, "data": ["646f63736973"]}]
//   VendorSuboptions  [{"enterprise": 4491, "suboptions": [{"code": 1, "hex": "01"}]}]
//   Suboptions        [{"code": 1, "hex": "0a0b"}] (pad and end are not listed), or the
//                     hex string where the bytes are not sub-options (not malformed)
//   ClientId          {"type": 1, "address": "aa:bb:cc:dd:ee:ff"} for an Ethernet address,
//                     else {"type": 255, "hex": "..."}
//   ParameterList     [{"code": 1, "name": "Subnet Mask"}]; "name" is null for a code
//                     without a row
//   UserClass         ["class-a", "class-b"], or the text as one string where the bytes
//                     are not length-prefixed classes (not malformed)
//   FlagAndAddresses  {"mandatory": true, "addresses": ["10.0.0.1"]}
//   FlagAndText       {"mandatory": false, "text": "scope-a,scope-b"}
//   Presence          true
//   StatusCode        {"code": 0, "message": "all is well"}
//   IsnsServers       {"functions": 32771, "dd_access": 1, "admin_flags": 3,
//                      "security_bitmap": 0, "addresses": ["10.0.0.1"]}
//   Authentication    {"protocol": 1, "algorithm": 1, "rdm": 0,
//                      "replay_detection": "0000000000000001", "information": "abcd"}
//   MachineId         {"type": 0, "uuid": "33221100-5544-7766-8899-aabbccddeeff"} for the
//                     bytes 00 11 22 ... ff: the first three fields little-endian, as SMBIOS
//                     keeps them
//   CivicLocation     {"what": 2, "country": "DE", "elements": [{"type": 1, "value": "BY"}]}
//   GeoConf, GeoLoc   {"latitude": 47.5, "latitude_uncertainty": 18, "longitude": 8.25,
//                      "longitude_uncertainty": 18, "altitude_type": 1, "altitude": 400.5,
//                      "altitude_uncertainty": 15, "version": 1, "datum": 1}: degrees,
//                     and the altitude in the unit of its type; the uncertainties are the
//                     6-bit fields as sent (RFC 3825's resolutions in version 0)
//   UriList           ["https://sztp.example/"]
//   RdnssSelection    {"flags": 1, "preference": "high", "primary": "10.0.0.53",
//                      "secondary": "10.0.0.54", "domains": ["lab.example"]}
//   PcpServers        [["10.0.0.1"], ["10.0.0.2", "10.0.0.3"]]
//   PortParameters    {"offset": 6, "psid_length": 6, "psid": 52}
//   EncryptedDns      [{"priority": 1, "adn": "dns.example", "addresses": ["10.0.0.53"],
//                       "svcparams": "0001000302683200"}]; no addresses and "" in
//                     ADN-only mode
//   PxelinuxMagic     "f1:00:74:7e"
//   SixRd             {"ipv4_mask_length": 0, "prefix": "2001:db8::/32",
//                      "border_relays": ["10.0.0.1"]}
//   VirtualSubnet     {"type": 0, "name": "vpn-a"}, {"type": 1, "oui": "00a0c9",
//                      "index": 1}, or {"type": 255} for the global, default VPN
//   InterfaceId       {"type": 1, "major": 3, "minor": 16}
//   DefinedSuboptions [{"code": 1, "hex": "0a0b"}]; malformed where the bytes are not
//                     sub-options
//   DataSource        {"remote": true}
// Where the bytes do not fit the type, m_bMalformed is set and the value is
// the hex string.
//
// Texts: m_strText and the value's strings keep every byte that came off the
// wire but a text's trailing NULs, well-formed UTF-8 or not; the writer of
// each output decides how such bytes are shown (the command's JSON writer
// shows each malformed byte as U+FFFD, and "hex" keeps the exact bytes).
#pragma once

#include "core/model/lease.h"
#include "core/options/extended_catalogue.h"
#include "core/wire/hex_text.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ExtendedOption
{
    std::uint16_t m_nCode = 0; // a DHCPv6 code is 16 bits wide
    std::string_view m_name;        // the row's name; "Option NNN" for a code without one
    std::string m_strText;          // one line for people, e.g. "600 s (10 min)" or
                                    // "10.0.0.0/8 via 10.0.0.1, 0.0.0.0/0 via 10.99.0.1"; may hold
                                    // any byte that came off the wire: front ends escape it for
                                    // terminals
    nlohmann::ordered_json m_value; // typed, as above, members in the order shown; the hex
                                    // string when malformed or unknown; null when only the
                                    // text was asked for (ExtendedParts::Text)
    bool m_bMalformed = false;      // the bytes do not fit the type; text and value are hex
};

// Decodes one option's data bytes (without code and length). Never fails.
ExtendedOption DecodeExtendedOption(std::uint8_t code, const std::uint8_t* data,
                                    std::size_t length);

// What DecodeAllOptions makes of each option.
enum class ExtendedParts
{
    TextAndValue, // the line and the typed value, for JSON
    Text,         // the name and the line alone (m_value stays null), for rows and windows,
                  // which never read the value: a third of the work
};

// Every option of the map, in code order.
std::vector<ExtendedOption> DecodeAllOptions(const OptionMap& options,
                                             ExtendedParts parts = ExtendedParts::TextAndValue);

// A duration for people: "45 s", "600 s (10 min)", "90061 s (1 d 1 h 1 min 1 s)",
// and "4294967295 s (infinite)" for all ones (RFC 2131's infinite lease).
std::string DurationText(std::uint32_t seconds);

// The JSON object of one option:
//   {"code": 51, "name": "IP Address Lease Time", "value": 600, "text": "600 s (10 min)",
//    "hex": "00000258"}
// in that order, with "malformed": true added where the bytes do not fit the
// type. Front ends add "source".
nlohmann::ordered_json ExtendedOptionJson(const ExtendedOption& option, const OptionBytes& bytes);
