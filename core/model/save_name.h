// The file name rule of Save As.
#pragma once

#include "platform/cstring.h"

// The extension of the path's last component: the text after its last dot;
// empty when that name has no dot or ends with one. Dots in folder names and
// both kinds of path separator are understood.
CString FileExtension(const CString& strPath);

// The path to write: ".txt" is appended when the chosen name has no extension.
CString SavePathFor(const CString& strChosenPath);
