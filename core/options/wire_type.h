// How an option's data is laid out on the wire, and so how a Linux DHCP
// client's text of it is read back into bytes.
#pragma once

enum class WireType
{
    Address,         // one IPv4 address
    Addresses,       // IPv4 addresses
    AddressPairs,    // pairs of addresses: destination and router, or address and mask
    ClassfulRoutes,  // option 33's pairs as a client writes "10.0.0.0/8,10.99.0.1"
    ClasslessRoutes, // RFC 3442: prefix length, significant octets, router
    SipServers,      // RFC 3361: the encoding byte 1, then addresses
    UInt8,
    UInt16,
    UInt32,
    Int32, // two's complement
    UInt8List,
    UInt16List,
    Boolean,    // one byte, 0 or 1
    Text,       // NVT ASCII, no terminating zero
    DomainList, // RFC 1035 names, each ended by its root label
    Bytes,      // no structure this program knows
};
