#include "shell/app_name.h"

#include "platform/platform_types.h"

#include <vector>

CString AppNameFromPath(const CString& strPath)
{
    const size_t nSeparator = strPath.find_last_of("\\/:");
    CString strName = nSeparator == CString::npos ? strPath : strPath.substr(nSeparator + 1);
    const size_t nDot = strName.rfind('.');
    if (nDot != CString::npos)
        strName.erase(nDot);
    return strName;
}

CString GetApplicationName()
{
    // Paths may be longer than MAX_PATH: grow until the whole path fits.
    std::vector<char> path(MAX_PATH);
    for (;;)
    {
        const DWORD nLength =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (nLength == 0)
            return CString();
        if (nLength < path.size())
            return AppNameFromPath(CString(path.data(), nLength));
        path.resize(path.size() * 2);
    }
}
