// AfxMessageBox: the program's message box: the text, an OK button, the
// exclamation icon and the application's name as caption, owned by the active
// window. Returns when the user has closed it.
#pragma once

#include "platform/platform_types.h"

int AfxMessageBox(const char* pszText);
