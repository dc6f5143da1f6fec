#include "core/model/save_name.h"

CString FileExtension(const CString& strPath)
{
    const std::size_t nNameStart = strPath.find_last_of("\\/:");
    const std::size_t nFrom = nNameStart == CString::npos ? 0 : nNameStart + 1;
    const std::size_t nDot = strPath.rfind('.');
    if (nDot == CString::npos || nDot < nFrom)
        return CString();
    return strPath.substr(nDot + 1);
}

CString SavePathFor(const CString& strChosenPath)
{
    return FileExtension(strChosenPath).empty() ? strChosenPath + ".txt" : strChosenPath;
}
