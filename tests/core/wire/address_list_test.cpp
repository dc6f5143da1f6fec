#include "core/wire/address_list.h"

#include <gtest/gtest.h>

namespace
{
TEST(Ipv4AddressList, ReadsWholeAddressesOnly)
{
    const std::uint8_t bytes[] = {10, 0, 0, 1, 192, 168, 7, 255, 10, 0, 0};
    const struct
    {
        std::size_t length;
        std::vector<CString> texts;
    } kCases[] = {
        {0, {}},
        {3, {}},
        {4, {"10.0.0.1"}},
        {7, {"10.0.0.1"}},
        {8, {"10.0.0.1", "192.168.7.255"}},
        {11, {"10.0.0.1", "192.168.7.255"}},
    };
    for (const auto& c : kCases)
    {
        const Ipv4AddressList list(bytes, c.length);
        EXPECT_EQ(list.Count(), c.texts.size()) << c.length;
        EXPECT_EQ(list.Texts(), c.texts) << c.length;
    }
    EXPECT_EQ(Ipv4AddressList(nullptr, 8).Count(), 0u);
    EXPECT_EQ(Ipv4AddressList(bytes, 8).At(1), bytes + 4);
}
} // namespace
