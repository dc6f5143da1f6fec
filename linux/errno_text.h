// An errno value in the words a Linux administrator knows: the system's
// description and the symbolic name, as in "No data available (ENODATA)".
#pragma once

#include <string>

// "error 4242" for a value the C library has no name for.
std::string ErrnoText(int error);
