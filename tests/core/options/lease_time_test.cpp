#include "platform/local_time.h"
#include "tests/core/options/decode_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>

namespace
{
// Every run of the suite starts with TZ=UTC (see tests/CMakeLists.txt).
TEST(FormatLocalTime, EnglishNamesTwoDigitFields)
{
    EXPECT_EQ(FormatLocalTime(1796738587), "Tuesday, December 08, 2026 14:03:07");
    EXPECT_EQ(FormatLocalTime(0), "Thursday, January 01, 1970 00:00:00");
}

TEST(FormatLocalTime, SixtyFourBitTimesPass2038)
{
    EXPECT_EQ(FormatLocalTime(2147483647), "Tuesday, January 19, 2038 03:14:07");
    EXPECT_EQ(FormatLocalTime(2147483648LL), "Tuesday, January 19, 2038 03:14:08");
    EXPECT_EQ(FormatLocalTime(4102444800LL), "Friday, January 01, 2100 00:00:00");
}

#ifndef _WIN32
// The machine's local-time rules apply, daylight saving included.
class LocalZone : public testing::Test
{
protected:
    void SetUp() override { Use("EST5EDT,M3.2.0,M11.1.0"); }
    void TearDown() override { Use("UTC"); }
    static void Use(const char* pszZone)
    {
        setenv("TZ", pszZone, 1);
        tzset();
    }
};

TEST_F(LocalZone, ConvertsWithTheZoneAndItsDaylightRule)
{
    EXPECT_EQ(FormatLocalTime(1796738587), "Tuesday, December 08, 2026 09:03:07");
    EXPECT_EQ(FormatLocalTime(1783000000), "Thursday, July 02, 2026 09:46:40");
}
#endif

TEST(FormatLeaseTime, IsTheMomentThatManySecondsFromNow)
{
    const std::int64_t before = CurrentCalendarTime();
    const CString text = FormatLeaseTime(3600);
    const std::int64_t after = CurrentCalendarTime();
    EXPECT_TRUE(text == FormatLocalTime(before + 3600) || text == FormatLocalTime(after + 3600))
        << text;
}

TEST(MomentRendering, LeaseTimesRenewalAndRebind)
{
    const std::regex kDate(
        "(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, [A-Z][a-z]+ [0-3][0-9], [0-9]{4} "
        "[0-2][0-9]:[0-5][0-9]:[0-6][0-9]");
    for (const std::uint32_t nCode : {51u, 58u, 59u})
        EXPECT_TRUE(std::regex_match(Decode(nCode, {0x00, 0x00, 0x0E, 0x10}).m_strData, kDate))
            << nCode;
    // Beyond 2^31 seconds the date is still right, 68 to 136 years ahead.
    const CString farAway = Decode(51, {0xFF, 0xFF, 0xFF, 0xFE}).m_strData;
    ASSERT_TRUE(std::regex_match(farAway, kDate)) << farAway;
    const int nYear = std::atoi(farAway.substr(farAway.size() - 13, 4).c_str());
    EXPECT_GT(nYear, 2026 + 135);
}

TEST(MomentRendering, AllOnesIsAnInfiniteLease)
{
    EXPECT_EQ(Decode(51, {0xFF, 0xFF, 0xFF, 0xFF}).m_strData, "Infinite");
    EXPECT_EQ(Decode(58, {0xFF, 0xFF, 0xFF, 0xFF, 0x00}).m_strData, "Infinite");
}

TEST(MomentRendering, ShortDataGivesEmptyText)
{
    EXPECT_EQ(Decode(51, {0xFF, 0xFF, 0xFF}).m_strData, "");
    EXPECT_EQ(Decode(51, {0xFF, 0xFF, 0xFF}).m_strParameter, "IP Lease Time");
}
} // namespace
