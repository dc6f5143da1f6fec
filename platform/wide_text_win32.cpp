#include "platform/wide_text.h"

#include <climits>

bool ToWideText(const CString& text, WCHAR* buffer, std::size_t capacity)
{
    if (capacity == 0)
        return false;
    buffer[0] = 0;
    if (text.empty())
        return true;
    if (text.size() > INT_MAX)
        return false;
    const int nBytes = static_cast<int>(text.size());
    const int nNeeded = MultiByteToWideChar(CP_ACP, 0, text.data(), nBytes, nullptr, 0);
    if (nNeeded <= 0 || static_cast<std::size_t>(nNeeded) >= capacity)
        return false;
    MultiByteToWideChar(CP_ACP, 0, text.data(), nBytes, buffer, nNeeded);
    buffer[nNeeded] = 0;
    return true;
}
