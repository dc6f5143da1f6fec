// AfxMessageBox: the program's message box: the text, the buttons of nType (an
// OK button unless it says otherwise), the exclamation icon unless nType names
// another, and the application's name as caption, owned by the active window.
// Returns the button the user closed it with.
#pragma once

#include "platform/platform_types.h"

int AfxMessageBox(const char* pszText, UINT nType = MB_OK);
