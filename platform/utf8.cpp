#include "platform/utf8.h"

namespace
{
void AppendUtf8(std::string& text, char32_t cp)
{
    const auto Byte = [](char32_t bits) { return static_cast<char>(bits & 0xFF); };
    if (cp < 0x80)
    {
        text += Byte(cp);
    }
    else if (cp < 0x800)
    {
        text += Byte(0xC0 | cp >> 6);
        text += Byte(0x80 | (cp & 0x3F));
    }
    else if (cp < 0x10000)
    {
        text += Byte(0xE0 | cp >> 12);
        text += Byte(0x80 | (cp >> 6 & 0x3F));
        text += Byte(0x80 | (cp & 0x3F));
    }
    else
    {
        text += Byte(0xF0 | cp >> 18);
        text += Byte(0x80 | (cp >> 12 & 0x3F));
        text += Byte(0x80 | (cp >> 6 & 0x3F));
        text += Byte(0x80 | (cp & 0x3F));
    }
}
} // namespace

char32_t DecodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    int nTrail = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0)
    {
        nTrail = 1;
        value = lead & 0x1Fu;
        minimum = 0x80;
    }
    else if ((lead & 0xF0) == 0xE0)
    {
        nTrail = 2;
        value = lead & 0x0Fu;
        minimum = 0x800;
    }
    else if ((lead & 0xF8) == 0xF0)
    {
        nTrail = 3;
        value = lead & 0x07u;
        minimum = 0x10000;
    }
    else
    {
        return kReplacementCharacter;
    }
    std::size_t next = pos;
    for (int i = 0; i < nTrail; ++i, ++next)
    {
        if (next >= text.size() || (static_cast<unsigned char>(text[next]) & 0xC0) != 0x80)
            return kReplacementCharacter;
        value = (value << 6) | (static_cast<unsigned char>(text[next]) & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacementCharacter;
    pos = next;
    return value;
}

std::string ReplaceMalformedUtf8(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();)
    {
        // ASCII needs no decoding: the common case, byte by byte.
        if (static_cast<unsigned char>(text[pos]) < 0x80)
            result += text[pos++];
        else
            AppendUtf8(result, DecodeUtf8(text, pos));
    }
    return result;
}
