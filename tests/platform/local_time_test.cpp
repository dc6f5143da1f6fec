#include "platform/local_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

namespace
{
// Every run of the suite starts with TZ=UTC (see tests/CMakeLists.txt).
TEST(Iso8601LocalTime, UtcPast2038AndBeyondFourDigitYears)
{
    const struct
    {
        std::int64_t t;
        const char* pszText;
    } kCases[] = {
        {1796738587, "2026-12-08T14:03:07+00:00"},      {0, "1970-01-01T00:00:00+00:00"},
        {2147483648LL, "2038-01-19T03:14:08+00:00"},    {253402300800LL, ""}, // 10000-01-01
        {std::numeric_limits<std::int64_t>::max(), ""},
    };
    for (const auto& test : kCases)
        EXPECT_EQ(test.pszText, FormatIso8601LocalTime(test.t)) << test.t;
}

#ifndef _WIN32
// Windows converts no time before 1970 and none past 3000.
TEST(Iso8601LocalTime, TheEdgesOfFourDigitYears)
{
    const struct
    {
        std::int64_t t;
        const char* pszText;
    } kCases[] = {
        {-1, "1969-12-31T23:59:59+00:00"},
        {-62167219200LL, "0000-01-01T00:00:00+00:00"},
        {253402300799LL, "9999-12-31T23:59:59+00:00"},
        {-62167219201LL, ""}, // the year before 0000
    };
    for (const auto& test : kCases)
        EXPECT_EQ(test.pszText, FormatIso8601LocalTime(test.t)) << test.t;
}

class Iso8601Zone : public testing::Test
{
protected:
    void TearDown() override { Use("UTC"); }
    static void Use(const char* pszZone)
    {
        setenv("TZ", pszZone, 1);
        tzset();
    }
};

TEST_F(Iso8601Zone, WritesTheOffsetTheZoneHadThen)
{
    const struct
    {
        const char* pszZone;
        std::int64_t t;
        const char* pszText;
    } kCases[] = {
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1796738587, "2026-12-08T15:03:07+01:00"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1783000000, "2026-07-02T15:46:40+02:00"},
        // West of Greenwich with half hours, across the day and the year.
        {"<-0330>3:30", 0, "1969-12-31T20:30:00-03:30"},
        {"<+0545>-5:45", 1796738587, "2026-12-08T19:48:07+05:45"},
        // An offset of seconds has no ISO 8601 form.
        {"<+001932>-0:19:32", 1796738587, ""},
    };
    for (const auto& test : kCases)
    {
        Use(test.pszZone);
        EXPECT_EQ(test.pszText, FormatIso8601LocalTime(test.t)) << test.pszZone;
    }
}
#endif
} // namespace
