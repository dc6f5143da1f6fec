// The ISO 8601 form from each platform's local-time conversion: the offset is
// what the conversion did to the time, so no platform needs its own field.
#include "platform/local_time.h"

#include <cstdio>

namespace
{
// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t nYear, unsigned nMonth, unsigned nDay)
{
    nYear -= nMonth <= 2 ? 1 : 0;
    const std::int64_t nEra = (nYear >= 0 ? nYear : nYear - 399) / 400;
    const auto nYearOfEra = static_cast<unsigned>(nYear - nEra * 400);
    const unsigned nDayOfYear = (153 * (nMonth > 2 ? nMonth - 3 : nMonth + 9) + 2) / 5 + nDay - 1;
    const unsigned nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
    return nEra * 146097 + static_cast<std::int64_t>(nDayOfEra) - 719468;
}

// The local time's fields read as if they were UTC, less the time itself.
std::int64_t OffsetFromUtc(std::int64_t calendarTime, const std::tm& local)
{
    const std::int64_t nDays =
        DaysFromCivil(std::int64_t{local.tm_year} + 1900, static_cast<unsigned>(local.tm_mon) + 1,
                      static_cast<unsigned>(local.tm_mday));
    return nDays * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec - calendarTime;
}
} // namespace

CString FormatIso8601LocalTime(std::int64_t calendarTime)
{
    std::tm local{};
    if (!ToLocalCalendarTime(calendarTime, local))
        return CString();
    const std::int64_t nYear = std::int64_t{local.tm_year} + 1900;
    if (nYear < 0 || nYear > 9999 || local.tm_mon < 0 || local.tm_mon > 11)
        return CString();
    const std::int64_t nOffset = OffsetFromUtc(calendarTime, local);
    if (nOffset % 60 != 0)
        return CString();
    const std::int64_t nMinutes = (nOffset < 0 ? -nOffset : nOffset) / 60;
    char szText[40];
    std::snprintf(szText, sizeof szText, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  static_cast<int>(nYear), local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, nOffset < 0 ? '-' : '+',
                  static_cast<int>(nMinutes / 60 % 100), static_cast<int>(nMinutes % 60));
    return szText;
}
