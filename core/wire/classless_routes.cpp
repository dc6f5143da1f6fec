#include "core/wire/classless_routes.h"

#include "core/wire/byte_order.h"

namespace
{
constexpr std::uint8_t kMaxPrefixLength = 32;
constexpr std::size_t kAddressSize = 4;
} // namespace

std::optional<std::vector<ClasslessRoute>> ReadClasslessRoutes(const std::uint8_t* pData,
                                                               std::size_t nLength)
{
    if (pData == nullptr || nLength == 0)
        return std::nullopt;
    std::vector<ClasslessRoute> routes;
    std::size_t nOffset = 0;
    while (nOffset < nLength)
    {
        ClasslessRoute route;
        route.nPrefixLength = pData[nOffset++];
        if (route.nPrefixLength > kMaxPrefixLength)
            return std::nullopt;
        const std::size_t nSignificant = (route.nPrefixLength + 7u) / 8u;
        if (nLength - nOffset < nSignificant + kAddressSize)
            return std::nullopt;
        for (std::size_t i = 0; i < kAddressSize; ++i)
        {
            const std::uint32_t nOctet = i < nSignificant ? pData[nOffset + i] : 0u;
            route.nDestination |= nOctet << (24 - 8 * i);
        }
        nOffset += nSignificant;
        route.nRouter = ReadBe32(pData + nOffset);
        nOffset += kAddressSize;
        routes.push_back(route);
    }
    return routes;
}
