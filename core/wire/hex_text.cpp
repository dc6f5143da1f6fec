#include "core/wire/hex_text.h"

void AppendHexByte(std::string& text, std::uint8_t value, HexCase letters)
{
    const char* digits = letters == HexCase::Lower ? "0123456789abcdef" : "0123456789ABCDEF";
    text += digits[value >> 4];
    text += digits[value & 0x0F];
}

std::string HexText(const std::uint8_t* data, std::size_t length, HexCase letters)
{
    std::string text;
    text.reserve(2 * length);
    for (std::size_t i = 0; i < length; ++i)
        AppendHexByte(text, data[i], letters);
    return text;
}

std::string MacText(const std::uint8_t* data, std::size_t length, HexCase letters)
{
    std::string text;
    text.reserve(3 * length);
    for (std::size_t i = 0; i < length; ++i)
    {
        if (i != 0)
            text += ':';
        AppendHexByte(text, data[i], letters);
    }
    return text;
}
