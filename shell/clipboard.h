// Puts 8-bit text on the clipboard (CF_TEXT), ending in a zero byte.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

// Fills one movable block with the text and a zero byte, then opens the
// clipboard for hWndOwner, empties it and hands it the block. False, with
// nothing left behind, when no memory is had, the clipboard cannot be opened or
// it refuses the block; the clipboard keeps what it held then (after a refusal,
// what it held in plain memory blocks: bitmaps, metafiles and private formats
// are lost).
bool CopyTextToClipboard(HWND hWndOwner, const CString& strText);
