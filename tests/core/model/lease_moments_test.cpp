#include "core/model/lease_moments.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
constexpr std::int64_t kObtained = 1796738587;

OptionBytes Seconds(std::uint32_t nSeconds)
{
    return {static_cast<std::uint8_t>(nSeconds >> 24), static_cast<std::uint8_t>(nSeconds >> 16),
            static_cast<std::uint8_t>(nSeconds >> 8), static_cast<std::uint8_t>(nSeconds)};
}

using Moment = std::optional<std::int64_t>;

TEST(LeaseMoments, FromTheTimeOptionsOrTheirDefaults)
{
    const struct
    {
        const char* pszWhat;
        OptionMap options;
        Moment tRenewal, tRebinding, tExpiry;
    } kCases[] = {
        {"T1 and T2 as the server sent them",
         {{51, Seconds(600)}, {58, Seconds(300)}, {59, Seconds(525)}},
         kObtained + 300,
         kObtained + 525,
         kObtained + 600},
        // Whole seconds, rounded down, as clients count them.
        {"half and seven eighths of the lease by default",
         {{51, Seconds(1001)}},
         kObtained + 500,
         kObtained + 875,
         kObtained + 1001},
        {"the defaults of the longest finite lease do not overflow 32 bits",
         {{51, Seconds(0xFFFFFFFE)}},
         kObtained + 0x7FFFFFFF,
         kObtained + 3758096382LL,
         kObtained + 0xFFFFFFFELL},
        {"a lease without end has no moments, whatever T1 and T2 say",
         {{51, Seconds(0xFFFFFFFF)}, {58, Seconds(300)}, {59, Seconds(525)}},
         std::nullopt,
         std::nullopt,
         std::nullopt},
        {"an infinite T1 alone has no moment",
         {{51, Seconds(600)}, {58, Seconds(0xFFFFFFFF)}},
         std::nullopt,
         kObtained + 525,
         kObtained + 600},
        {"a time option of the wrong size counts as absent",
         {{51, {0, 0, 2, 88, 0}}, {58, {1, 44}}, {59, Seconds(525)}},
         std::nullopt,
         kObtained + 525,
         std::nullopt},
        {"a short lease time gives no defaults",
         {{51, {2, 88}}},
         std::nullopt,
         std::nullopt,
         std::nullopt},
        {"T1 without a lease time",
         {{58, Seconds(300)}},
         kObtained + 300,
         std::nullopt,
         std::nullopt},
        {"zero seconds is now", {{51, Seconds(0)}}, kObtained, kObtained, kObtained},
    };
    for (const auto& test : kCases)
    {
        Lease lease;
        lease.m_mapOptions = test.options;
        lease.m_tObtained = kObtained;
        const LeaseMoments moments = LeaseMomentsOf(lease);
        EXPECT_EQ(Moment(kObtained), moments.m_tObtained) << test.pszWhat;
        EXPECT_EQ(test.tRenewal, moments.m_tRenewal) << test.pszWhat;
        EXPECT_EQ(test.tRebinding, moments.m_tRebinding) << test.pszWhat;
        EXPECT_EQ(test.tExpiry, moments.m_tExpiry) << test.pszWhat;
    }
}

TEST(LeaseMoments, NoneWithoutTheTimeTheLeaseWasObtained)
{
    Lease lease;
    lease.m_mapOptions = {{51, Seconds(600)}};
    lease.m_tExpires = kObtained + 600;
    const LeaseMoments moments = LeaseMomentsOf(lease);
    EXPECT_FALSE(moments.m_tObtained || moments.m_tRenewal || moments.m_tRebinding ||
                 moments.m_tExpiry);
}

TEST(LeaseMoments, APastTheEndOfTimeIsUnknown)
{
    Lease lease;
    lease.m_mapOptions = {{51, Seconds(600)}, {58, Seconds(300)}};
    lease.m_tObtained = std::numeric_limits<std::int64_t>::max() - 400;
    const LeaseMoments moments = LeaseMomentsOf(lease);
    EXPECT_EQ(Moment(std::numeric_limits<std::int64_t>::max() - 100), moments.m_tRenewal);
    EXPECT_EQ(std::nullopt, moments.m_tRebinding);
    EXPECT_EQ(std::nullopt, moments.m_tExpiry);
}
} // namespace
