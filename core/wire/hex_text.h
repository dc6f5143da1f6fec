// Bytes as hexadecimal digits: the one writer of hex in the tree, for option
// data, hardware addresses and escapes alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class HexCase
{
    Lower, // "0a1b", as JSON and the command line write bytes
    Upper, // "0A1B", as the window and the adapter list write them
};

// Appends the two digits of one byte.
void AppendHexByte(std::string& text, std::uint8_t value, HexCase letters = HexCase::Lower);

// Two digits per byte, no separators: "0a0b0c" ("" for no bytes).
std::string HexText(const std::uint8_t* data, std::size_t length, HexCase letters = HexCase::Lower);

// Two digits per byte with colons between, as a hardware address is written:
// "aa:bb:cc:dd:ee:ff".
std::string MacText(const std::uint8_t* data, std::size_t length, HexCase letters = HexCase::Lower);
