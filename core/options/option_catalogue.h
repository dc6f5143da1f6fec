// The catalogue of DHCP options (RFC 2132 and later): one row per option code,
// each with the parameter text shown for it, the way the window renders its
// data bytes, and the layout of those bytes on the wire.
#pragma once

#include <cstdint>

// Pairs of key and text, read in order, ended by a pair whose text is null.
struct NameTableEntry
{
    std::int32_t nKey;
    const char* pszText;
};
using NameTable = NameTableEntry;

extern const NameTable MessageTypeNames[];  // option 53
extern const NameTable HardwareTypeNames[]; // option 61
extern const NameTable OverloadNames[];     // option 52

enum class Rendering
{
    Nothing,       // neither text is touched
    NameOnly,      // the parameter text alone
    Address,       // the first IPv4 address
    Addresses,     // every whole IPv4 address, each followed by a blank
    Number,        // up to four bytes, unsigned
    Hours,         // signed seconds shown as hours
    Moment,        // seconds from now, shown as a local date and time
    NamedValue,    // the first byte looked up in a name table
    Encapsulation, // RFC 894 or RFC 1042 framing
    HexByte,       // the first byte in hexadecimal
    Text,          // 8-bit characters up to the first zero byte
};

// How an option's data is laid out on the wire, and so how a client's text of
// it is read back into bytes. The rendering stays what the window has always
// shown, even where it reads less than the wire carries (option 49's addresses
// are shown as text).
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

struct CatalogueRow
{
    std::uint32_t nCode;
    const char* pszParameter; // null: the row has no parameter text
    Rendering rendering;
    const NameTable* pNames; // for Rendering::NamedValue only
    WireType wireType;
};

// The row of an option code, or null for a code the catalogue does not carry.
const CatalogueRow* FindCatalogueRow(std::uint32_t nCode);

// The wire type of an option code: its row's, or Bytes for a code without one.
WireType OptionWireType(std::uint32_t nCode);

// The parameter text of codes without a label of their own.
inline constexpr char kUnknownOption[] = "Unknown Option";
