// Random bytes from the kernel for identifiers a peer must not guess:
// transaction ids, IAIDs, addresses.
#pragma once

#include <cerrno>
#include <sys/random.h>

// Fills value; 0 or the errno of getrandom(2).
template <typename Value> int RandomValue(Value& value)
{
    return getrandom(&value, sizeof value, 0) == static_cast<ssize_t>(sizeof value) ? 0 : errno;
}
