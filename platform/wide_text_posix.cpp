#include "platform/wide_text.h"

#include "platform/utf8.h"

#include <vector>

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
