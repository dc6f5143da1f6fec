// How the window (the Windows program and veyra-gui) shows an option's data
// bytes beside its parameter text.
#pragma once

enum class Rendering
{
    Nothing,       // neither text is touched
    NameOnly,      // the parameter text alone
    Address,       // the first IPv4 address
    Addresses,     // every whole IPv4 address, each followed by a blank
    Number,        // up to four bytes, unsigned
    Hours,         // signed seconds shown as hours
    Moment,        // seconds from now, shown as a local date and time
    NamedValue,    // the first byte looked up in a list of value names
    Encapsulation, // RFC 894 or RFC 1042 framing
    HexByte,       // the first byte in hexadecimal
    Text,          // 8-bit characters up to the first zero byte
};

// The parameter text of codes without a label of their own.
inline constexpr char kUnknownOption[] = "Unknown Option";
