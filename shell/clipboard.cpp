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
    if (pBytes == nullptr)
    {
        ::GlobalFree(hBlock);
        return nullptr;
    }
    std::memcpy(pBytes, strText.c_str(), strText.size() + 1);
    ::GlobalUnlock(hBlock);
    return hBlock;
}
} // namespace

bool CopyTextToClipboard(HWND hWndOwner, const CString& strText)
{
    // The block is filled before the clipboard is emptied, so that a lack of
    // memory never costs the user what the clipboard held.
    const HGLOBAL hBlock = TextBlock(strText);
    if (hBlock == nullptr)
        return false;
    if (!::OpenClipboard(hWndOwner))
    {
        ::GlobalFree(hBlock);
        return false;
    }
    ::EmptyClipboard();
    // From a successful SetClipboardData on, the block is the clipboard's.
    const bool bHandedOver = ::SetClipboardData(CF_TEXT, hBlock) != nullptr;
    if (!bHandedOver)
        ::GlobalFree(hBlock);
    ::CloseClipboard();
    return bHandedOver;
}
