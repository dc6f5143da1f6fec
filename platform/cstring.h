// CString: every text of the program is an 8-bit string in the system code page.
#pragma once

#include <string>

using CString = std::string;
