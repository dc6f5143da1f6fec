// Dates are spelt in English whatever the locale: the weekday and month names
// are our own tables, not strftime's.
#include "core/options/option_decoder.h"
#include "platform/local_time.h"

#include <cstdio>

namespace
{
const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

constexpr std::size_t kMaxDateText = 127;
} // namespace

CString FormatLocalTime(std::int64_t calendarTime)
{
    std::tm local{};
    if (!ToLocalCalendarTime(calendarTime, local))
        return CString();
    if (local.tm_wday < 0 || local.tm_wday > 6 || local.tm_mon < 0 || local.tm_mon > 11)
        return CString();
    char szText[kMaxDateText + 1];
    const int nLength =
        std::snprintf(szText, sizeof szText, "%s, %s %02d, %04d %02d:%02d:%02d",
                      kWeekdays[local.tm_wday], kMonths[local.tm_mon], local.tm_mday,
                      local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    if (nLength < 0 || static_cast<std::size_t>(nLength) > kMaxDateText)
        return CString();
    return CString(szText, static_cast<std::size_t>(nLength));
}

CString FormatLeaseTime(std::int64_t nSeconds)
{
    return FormatLocalTime(CurrentCalendarTime() + nSeconds);
}
