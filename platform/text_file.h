// The file that Save As writes.
#pragma once

#include "platform/cstring.h"

// Writes the text to the file at the path in text mode ("w+t": created or
// truncated; on Windows each LF becomes CR LF), with one write of all its
// bytes. False when the file cannot be opened, written or closed, with the
// system's reason in strReason; a file opened but not wholly written is left
// as far as it got.
bool WriteTextFile(const CString& strPath, const CString& strText, CString& strReason);
