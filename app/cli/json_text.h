// JSON string literals from texts of untrusted origin.
#pragma once

#include <string>

// The text as a quoted JSON string: quotes, backslashes and control bytes
// escaped, and each byte that is not part of well-formed UTF-8 written as
// U+FFFD, so the output is valid JSON whatever the network sent.
std::string JsonString(const std::string& strText);
