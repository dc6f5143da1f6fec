// The value types of the option tables' extended column: how the Linux
// editions read an option's data, and the names of a byte's values.
#pragma once

#include <cstdint>

// The layout of an option's data, and so how the Linux editions decode it. The
// typed value of each type is documented in extended_decoder.h.
enum class ValueType
{
    Bytes,             // no structure this program decodes: hex
    Address,           // one IPv4 address
    Addresses,         // one or more IPv4 addresses
    AddressMaskPairs,  // pairs of address and mask (option 21)
    StaticRoutes,      // pairs of destination and router (option 33)
    UInt8,             // one byte, unsigned
    UInt16,            // two bytes, unsigned
    UInt32,            // four bytes, unsigned
    Int32,             // four bytes, two's complement
    UInt8List,         // one or more bytes
    UInt16List,        // one or more 16-bit numbers
    Boolean,           // one byte, 0 or 1
    Text,              // NVT ASCII without trailing NULs (RFC 2132 2)
    Seconds,           // a 32-bit duration; all ones is infinite
    NamedUInt8,        // one byte looked up in the row's value names
    ClasslessRoutes,   // RFC 3442: prefix length, significant octets, router
    DomainList,        // RFC 1035 names, compressed (RFC 3397)
    SipServers,        // RFC 3361: encoding byte, then names (0) or addresses (1)
    ClientFqdn,        // RFC 4702: flags, two rcodes, a name
    RelayAgentInfo,    // RFC 3046: sub-options
    VendorClasses,     // RFC 3925 option 124: enterprise and class data
    VendorSuboptions,  // RFC 3925 option 125: enterprise and sub-options
    Suboptions,        // code, length, data, with pad and end (option 43); else hex
    ClientId,          // RFC 2132 9.14: hardware type, then its address
    ParameterList,     // option codes
    UserClass,         // RFC 3004: length-prefixed classes; else text
    FlagAndAddresses,  // RFC 2610 option 78: the mandatory byte, then addresses
    FlagAndText,       // RFC 2610 option 79: the mandatory byte, then a scope list
    Presence,          // no data: the option's presence is its value (RFC 4039)
    StatusCode,        // RFC 6926: a status byte, then a message
    IsnsServers,       // RFC 4174: functions, DD access, admin flags, security bitmap, addresses
    Authentication,    // RFC 3118: protocol, algorithm, RDM, replay detection, information
    MachineId,         // RFC 4578: type 0, then a UUID
    CivicLocation,     // RFC 4776: what, country code, civic address elements
    GeoConf,           // RFC 6225 option 123: a coordinate-based location, version 0 or 1
    GeoLoc,            // RFC 6225 option 144: the same, version 1 only
    UriList,           // RFC 8572: URIs, each after its 16-bit length
    RdnssSelection,    // RFC 6731: preference, primary, secondary, domains
    PcpServers,        // RFC 7291: lists of addresses, each after its length
    PortParameters,    // RFC 7618: PSID offset, PSID length, PSID
    EncryptedDns,      // RFC 9463: instances of priority, ADN, addresses, SvcParams
    PxelinuxMagic,     // f1:00:74:7e
    SixRd,             // RFC 5969: IPv4 mask length, 6rd prefix, border relays
    VirtualSubnet,     // RFC 6607: type, then a VPN name, a VPN-ID or nothing
    InterfaceId,       // RFC 4578 option 94: type 1, UNDI major and minor version
    DefinedSuboptions, // sub-options an RFC defines (63, 122): code, length, data
    DataSource,        // RFC 6926 option 157: a flags octet, R its lowest bit
    // DHCPv6 (RFC 8415 and its successors); their typed values are documented in
    // dhcpv6_decoder.h.
    Duid,             // RFC 8415 11: a 16-bit type, then LLT, EN, LL or UUID
    IaNa,             // RFC 8415 21.4: IAID, T1, T2, options
    IaTa,             // RFC 8415 21.5: IAID, options
    IaAddress,        // RFC 8415 21.6: address, preferred and valid lifetimes, options
    IaPrefix,         // RFC 8415 21.22: lifetimes, prefix length, prefix, options
    OptionCodes,      // RFC 8415 21.7: 16-bit option codes
    Hundredths,       // RFC 8415 21.9: 16 bits of hundredths of a second
    RelayMessage,     // RFC 8415 21.10: a whole DHCPv6 message
    Address6,         // one IPv6 address
    Addresses6,       // one or more IPv6 addresses
    StatusCode6,      // RFC 8415 21.13: a 16-bit status, then a UTF-8 message
    UserClasses6,     // RFC 8415 21.15: texts, each after its 16-bit length
    VendorClass6,     // RFC 8415 21.16: enterprise, then data, each after its 16-bit length
    VendorOptions6,   // RFC 8415 21.17: enterprise, then 16-bit code, length, data
    DomainList6,      // RFC 1035 names, uncompressed (RFC 8415 10)
    DomainName6,      // one RFC 1035 name, uncompressed
    ClientFqdn6,      // RFC 4704: flags, then a name (partial without its root label)
    NtpServer,        // RFC 5908: suboptions of an address, a multicast address or a name
    LinkLayerAddress, // RFC 6939: a 16-bit hardware type, then its address
    Options6,         // DHCPv6 options, nothing else (RFC 5460, RFC 6422, RFC 7598)
    RemoteId,         // RFC 4649: enterprise, then the relay's identifier
};

// One name of a byte's value; a list of them ends with a null name.
struct ValueName
{
    std::uint8_t value;
    const char* name;
};

// The name of a value in a list of names (which may be null), or null.
inline const char* FindValueName(const ValueName* names, std::uint8_t value)
{
    for (const ValueName* entry = names; entry != nullptr && entry->name != nullptr; ++entry)
        if (entry->value == value)
            return entry->name;
    return nullptr;
}
