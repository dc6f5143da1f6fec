#include "platform/wide_text.h"

#include <vector>

namespace
{
constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[pos]; malformed input yields U+FFFD for one byte.
char32_t DecodeUtf8(const CString& text, std::size_t& pos)
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
        return kReplacement;
    }
    std::size_t next = pos;
    for (int i = 0; i < nTrail; ++i, ++next)
    {
        if (next >= text.size() || (static_cast<unsigned char>(text[next]) & 0xC0) != 0x80)
            return kReplacement;
        value = (value << 6) | (static_cast<unsigned char>(text[next]) & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    pos = next;
    return value;
}
} // namespace

// The system code page of a Linux system is UTF-8; the wide form is UTF-16.
bool ToWideText(const CString& text, WCHAR* buffer, std::size_t capacity)
{
    if (capacity == 0)
        return false;
    buffer[0] = 0;
    std::vector<WCHAR> units;
    for (std::size_t pos = 0; pos < text.size();)
    {
        const char32_t cp = DecodeUtf8(text, pos);
        if (cp >= 0x10000)
        {
            units.push_back(static_cast<WCHAR>(0xD800 + ((cp - 0x10000) >> 10)));
            units.push_back(static_cast<WCHAR>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
        else
        {
            units.push_back(static_cast<WCHAR>(cp));
        }
    }
    if (units.size() >= capacity)
        return false;
    for (std::size_t i = 0; i < units.size(); ++i)
        buffer[i] = units[i];
    buffer[units.size()] = 0;
    return true;
}
