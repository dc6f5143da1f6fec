// The catalogue of DHCP options (RFC 2132): one row per option code, each with
// the parameter text shown for it and the way its data bytes are rendered.
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
    AddressList,   // every whole IPv4 address, each followed by a blank
    Number,        // up to four bytes, unsigned
    Hours,         // signed seconds shown as hours
    Moment,        // seconds from now, shown as a local date and time
    NamedValue,    // the first byte looked up in a name table
    Encapsulation, // RFC 894 or RFC 1042 framing
    HexByte,       // the first byte in hexadecimal
    Text,          // 8-bit characters up to the first zero byte
};

struct CatalogueRow
{
    std::uint32_t nCode;
    const char* pszParameter; // null: the row has no parameter text
    Rendering rendering;
    const NameTable* pNames; // for Rendering::NamedValue only
};

// The row of an option code, or null for a code the catalogue does not carry.
const CatalogueRow* FindCatalogueRow(std::uint32_t nCode);

// The parameter text of codes without a label of their own.
inline constexpr char kUnknownOption[] = "Unknown Option";
