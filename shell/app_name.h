// The application's name: the executable's file name without path and extension.
// It captions every message box of the program.
#pragma once

#include "platform/cstring.h"

// The file name of a path without its folders and its last extension.
CString AppNameFromPath(const CString& strPath);

// The running executable's name.
CString GetApplicationName();
