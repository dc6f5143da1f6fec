// Conversion of 8-bit system code page texts to the platform's wide characters.
#pragma once

#include "platform/cstring.h"
#include "platform/platform_types.h"

#include <cstddef>

// Converts text into buffer (capacity wide characters, including the terminating
// zero). Returns false, leaving buffer empty, when the converted text would not
// fit: a shortened name could name something else.
bool ToWideText(const CString& text, WCHAR* buffer, std::size_t capacity);
