#include "core/wire/ipv6_text.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
using Address = std::array<std::uint8_t, 16>;

TEST(Ipv6Text, CompressesTheFirstLongestZeroRun)
{
    const struct
    {
        Address address;
        const char* pszText;
    } kCases[] = {
        {{}, "::"},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, "::1"},
        {{0, 1}, "1::"},
        {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, "2001:db8::1"},
        // A lone zero group stays; leading zeros of a group go.
        {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0x0a, 0xbc},
         "2001:db8:0:1:1:1:1:abc"},
        // The longest run wins over an earlier, shorter one.
        {{0x20, 0x01, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}, "2001:0:0:1::1"},
        // Of equal runs, the first.
        {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1}, "2001:db8::1:0:0:1"},
        {{0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff},
         "fe80::ffff:ffff:ffff:ffff"},
        {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
          0xff},
         "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Ipv6Text(c.address.data()), c.pszText) << c.pszText;
}
} // namespace
