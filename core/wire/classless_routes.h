// RFC 3442 classless static routes (option 121, and 249 at a private code):
// for each route the prefix length, the destination's significant octets and
// the router.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct ClasslessRoute
{
    std::uint32_t nDestination = 0; // host byte order, octets past the prefix zero
    std::uint8_t nPrefixLength = 0; // 0 to 32
    std::uint32_t nRouter = 0;      // host byte order
};

// The routes of bytes that hold whole routes and nothing else, or nullopt for
// empty bytes, a prefix length above 32 or a route cut short.
std::optional<std::vector<ClasslessRoute>> ReadClasslessRoutes(const std::uint8_t* pData,
                                                               std::size_t nLength);
