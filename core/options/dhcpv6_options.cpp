#include "core/options/dhcpv6_options.h"

#include <cstddef>
#include <iterator>

namespace
{
using T = ValueType;

constexpr Dhcpv6Row kRows[] = {
    {1, "Client Identifier", T::Bytes},
    {2, "Server Identifier", T::Bytes},
    {3, "Identity Association for Non-temporary Addresses", T::Bytes},
    {23, "DNS Recursive Name Server", T::Bytes},
    {24, "Domain Search List", T::Bytes},
};

constexpr bool Sorted()
{
    for (std::size_t i = 1; i < std::size(kRows); ++i)
        if (kRows[i - 1].nCode >= kRows[i].nCode)
            return false;
    return true;
}
static_assert(Sorted(), "DHCPv6 rows are sorted by code, each code once");
} // namespace

const Dhcpv6Table kDhcpv6Options{kRows};
