#include "core/wire/classless_routes.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

std::optional<std::vector<ClasslessRoute>> Read(const Bytes& bytes)
{
    return ReadClasslessRoutes(bytes.data(), bytes.size());
}

TEST(ReadClasslessRoutes, ReadsEachPrefixLengthsOctets)
{
    const struct
    {
        Bytes bytes;
        std::uint32_t nDestination;
        std::uint8_t nPrefixLength;
    } kCases[] = {
        {{0, 10, 0, 0, 1}, 0, 0},
        {{1, 0x80, 10, 0, 0, 1}, 0x80000000u, 1},
        {{8, 10, 10, 0, 0, 1}, 0x0A000000u, 8},
        {{9, 10, 0x80, 10, 0, 0, 1}, 0x0A800000u, 9},
        {{24, 10, 99, 5, 10, 0, 0, 1}, 0x0A630500u, 24},
        {{32, 10, 99, 5, 7, 10, 0, 0, 1}, 0x0A630507u, 32},
    };
    for (const auto& c : kCases)
    {
        const auto routes = Read(c.bytes);
        ASSERT_TRUE(routes) << int{c.nPrefixLength};
        ASSERT_EQ(routes->size(), 1u);
        EXPECT_EQ(routes->at(0).nDestination, c.nDestination);
        EXPECT_EQ(routes->at(0).nPrefixLength, c.nPrefixLength);
        EXPECT_EQ(routes->at(0).nRouter, 0x0A000001u);
    }
}

TEST(ReadClasslessRoutes, ReadsRoutesOneAfterAnother)
{
    const auto routes = Read({8, 10, 10, 0, 0, 1, 0, 10, 99, 0, 1});
    ASSERT_TRUE(routes);
    ASSERT_EQ(routes->size(), 2u);
    EXPECT_EQ(routes->at(1).nPrefixLength, 0);
    EXPECT_EQ(routes->at(1).nRouter, 0x0A630001u);
}

TEST(ReadClasslessRoutes, RefusesHostileBytes)
{
    const Bytes kCases[] = {
        {},
        {33, 10, 0, 0, 0, 10, 0, 0, 1},     // prefix length above 32
        {255, 10, 0, 0, 0, 10, 0, 0, 1},    // far above
        {24, 10, 99, 5, 10, 0, 0},          // router cut short
        {24, 10, 99},                       // destination cut short
        {8, 10, 10, 0, 0, 1, 8},            // a second route of its length byte only
        {32, 10, 99, 5, 7, 10, 0, 0, 1, 0}, // one byte past a whole route
    };
    for (const Bytes& bytes : kCases)
        EXPECT_EQ(Read(bytes), std::nullopt) << bytes.size();
    EXPECT_EQ(ReadClasslessRoutes(nullptr, 5), std::nullopt);
}
} // namespace
