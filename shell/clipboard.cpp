#include "shell/clipboard.h"

#include "shell/shell_hooks.h"

#include <cstring>
#include <utility>
#include <vector>

namespace
{
using ClipboardBlocks = std::vector<std::pair<UINT, HGLOBAL>>;

// A movable block with nBytes from pSource, or null.
HGLOBAL CopyToBlock(const void* pSource, SIZE_T nBytes)
{
    const HGLOBAL hBlock = CShellHooks::Current().AllocateGlobal(GMEM_MOVEABLE, nBytes);
    if (hBlock == nullptr)
        return nullptr;
    void* pBytes = ::GlobalLock(hBlock);
    if (pBytes == nullptr)
    {
        ::GlobalFree(hBlock);
        return nullptr;
    }
    std::memcpy(pBytes, pSource, nBytes);
    ::GlobalUnlock(hBlock);
    return hBlock;
}

// Formats whose data is one memory block the system frees: those can be copied
// and put back. Bitmaps, palettes, metafiles and private formats cannot.
bool IsPlainBlockFormat(UINT nFormat)
{
    switch (nFormat)
    {
    case CF_BITMAP:
    case CF_METAFILEPICT:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
    case CF_OWNERDISPLAY:
    case CF_DSPBITMAP:
    case CF_DSPMETAFILEPICT:
    case CF_DSPENHMETAFILE:
        return false;
    default:
        return nFormat < CF_PRIVATEFIRST || nFormat > CF_GDIOBJLAST;
    }
}

void FreeBlocks(const ClipboardBlocks& blocks)
{
    for (const auto& block : blocks)
        ::GlobalFree(block.second);
}

// Copies of what the open clipboard holds in plain blocks, in its order. False,
// with nothing kept, when a copy cannot be made.
bool KeepClipboard(ClipboardBlocks& kept)
{
    for (UINT nFormat = ::EnumClipboardFormats(0); nFormat != 0;
         nFormat = ::EnumClipboardFormats(nFormat))
    {
        if (!IsPlainBlockFormat(nFormat))
            continue;
        const HANDLE hData = ::GetClipboardData(nFormat);
        const void* pData = hData != nullptr ? ::GlobalLock(hData) : nullptr;
        if (pData == nullptr)
            continue; // nothing the clipboard could give back either
        const HGLOBAL hCopy = CopyToBlock(pData, ::GlobalSize(hData));
        ::GlobalUnlock(hData);
        if (hCopy == nullptr)
        {
            FreeBlocks(kept);
            kept.clear();
            return false;
        }
        kept.emplace_back(nFormat, hCopy);
    }
    return true;
}
} // namespace

bool CopyTextToClipboard(HWND hWndOwner, const CString& strText)
{
    // Everything that needs memory is had before the clipboard is emptied, so
    // that a lack of it never costs the user what the clipboard held.
    const HGLOBAL hBlock = CopyToBlock(strText.c_str(), strText.size() + 1);
    if (hBlock == nullptr)
        return false;
    if (!::OpenClipboard(hWndOwner))
    {
        ::GlobalFree(hBlock);
        return false;
    }
    ClipboardBlocks kept;
    if (!KeepClipboard(kept))
    {
        ::GlobalFree(hBlock);
        ::CloseClipboard();
        return false;
    }
    ::EmptyClipboard();
    CShellHooks& hooks = CShellHooks::Current();
    // From a successful SetClipboardData on, a block is the clipboard's.
    const bool bHandedOver = hooks.SetClipboardBlock(CF_TEXT, hBlock) != nullptr;
    if (bHandedOver)
    {
        FreeBlocks(kept);
    }
    else
    {
        for (const auto& block : kept)
            if (hooks.SetClipboardBlock(block.first, block.second) == nullptr)
                ::GlobalFree(block.second);
        ::GlobalFree(hBlock);
    }
    ::CloseClipboard();
    return bHandedOver;
}
