#include "shell/clipboard.h"

#include <cstring>

namespace
{
// A movable block with the text and its zero byte, or null.
HGLOBAL TextBlock(const CString& strText)
{
    const HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, strText.size() + 1);
    if (hBlock == nullptr)
        return nullptr;
    auto* pBytes = static_cast<char*>(::GlobalLock(hBlock));
    std::memcpy(pBytes, strText.c_str(), strText.size() + 1);
    ::GlobalUnlock(hBlock);
    return hBlock;
}
} // namespace

bool CopyTextToClipboard(HWND hWndOwner, const CString& strText)
{
    if (!::OpenClipboard(hWndOwner))
        return false;
    ::EmptyClipboard();
    const HGLOBAL hBlock = TextBlock(strText);
    // From a successful SetClipboardData on, the block is the clipboard's.
    const bool bHandedOver = hBlock != nullptr && ::SetClipboardData(CF_TEXT, hBlock) != nullptr;
    if (hBlock != nullptr && !bHandedOver)
        ::GlobalFree(hBlock);
    ::CloseClipboard();
    return bHandedOver;
}
