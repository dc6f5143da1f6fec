#include "platform/system_error_text.h"

#include <cerrno>
#include <climits>
#include <cstring>

bool LookupSystemErrorText(DWORD code, CString& text, DWORD& lookupError)
{
    // strerrordesc_np, unlike strerror, admits that it has no text for a code.
    const char* pszMessage = code <= INT_MAX ? strerrordesc_np(static_cast<int>(code)) : nullptr;
    if (pszMessage == nullptr)
    {
        lookupError = EINVAL;
        return false;
    }
    text = pszMessage;
    return true;
}
