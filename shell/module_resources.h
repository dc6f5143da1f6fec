// Cursors, icons, strings and menus from the program's own module.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

// A shared resource cursor, or null when the module has none with that id.
HCURSOR LoadModuleCursor(UINT nID);
// A shared resource icon at the system's large-icon size, or null.
HICON LoadModuleIcon(UINT nID);
// String nID of the string table; empty when there is none.
CString LoadModuleString(UINT nID);
// A menu the caller destroys (DestroyMenu), or null.
HMENU LoadModuleMenu(UINT nID);
