// Puts 8-bit text on the clipboard (CF_TEXT), ending in a zero byte.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

// Fills one movable block with the text and a zero byte, then opens the
// clipboard for hWndOwner, empties it and hands it the block. False, with
// nothing left behind, when no memory is had or the clipboard cannot be opened
// (in both cases the clipboard keeps what it held), or when the clipboard
// refuses the block (it has been emptied then).
bool CopyTextToClipboard(HWND hWndOwner, const CString& strText);
