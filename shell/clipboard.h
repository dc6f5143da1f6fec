// Puts 8-bit text on the clipboard (CF_TEXT), ending in a zero byte.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

// Opens the clipboard for hWndOwner, empties it and hands it one movable block
// with the text and a zero byte. False, with nothing left behind, when the
// clipboard cannot be opened, no memory is had (the clipboard stays emptied) or
// the clipboard refuses the block.
bool CopyTextToClipboard(HWND hWndOwner, const CString& strText);
