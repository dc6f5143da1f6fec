#include "platform/system_error_text.h"

bool LookupSystemErrorText(DWORD code, CString& text, DWORD& lookupError)
{
    // Neutral language with the default sublanguage: the user's own language.
    const DWORD dwLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
    LPSTR pszMessage = nullptr;
    const DWORD dwLength = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, dwLanguage, reinterpret_cast<LPSTR>(&pszMessage), 0, nullptr);
    if (dwLength == 0 || pszMessage == nullptr)
    {
        lookupError = GetLastError();
        return false;
    }
    text.assign(pszMessage, dwLength);
    LocalFree(pszMessage);
    return true;
}
