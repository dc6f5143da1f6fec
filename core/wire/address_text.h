// The dotted-decimal text of an IPv4 address.
#pragma once

#include "platform/cstring.h"

#include <cstdint>

// 10.99.0.146 from 0x0A630092 (host byte order).
CString DottedQuad(std::uint32_t nAddress);

// The same from four bytes in the order they stand (network byte order).
CString DottedQuad(const std::uint8_t* pAddress);
