// The calendar clock and the machine's local-time rules, in 64-bit time.
#pragma once

#include "platform/cstring.h"

#include <cstdint>
#include <ctime>

// Seconds since 1970-01-01 00:00:00 UTC, now.
std::int64_t CurrentCalendarTime();

// Converts a calendar time to the machine's local time; false when it cannot.
bool ToLocalCalendarTime(std::int64_t calendarTime, std::tm& local);

// The calendar time in local time as ISO 8601 with the offset from UTC,
// "2026-12-09T17:03:07+01:00". Empty when the system cannot convert it, its
// year is outside 0000..9999, or the zone's offset then was not whole minutes
// (local mean time, before standard zones), which ISO 8601 cannot write.
CString FormatIso8601LocalTime(std::int64_t calendarTime);
