// The platform's readable text for a system error code.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

// Fills text with the system's message for code and returns true. When the
// system has no text for the code it returns false and lookupError holds the
// error of the failed lookup itself.
bool LookupSystemErrorText(DWORD code, CString& text, DWORD& lookupError);
