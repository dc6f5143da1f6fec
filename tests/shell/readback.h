// Reading back what the program handed to the clipboard and to its menus.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

// The clipboard's CF_TEXT block up to and with its zero byte, "(empty)" without
// one, or "(clipboard busy)".
CString ClipboardBytes();

// Checks the results list's popup menu: "Save As...", "Copy Row...",
// "Copy All...", a separator and "Close", with their ids, all plain, enabled,
// unchecked and none preselected.
void ExpectPopupMenuItems(HMENU hPopup);
