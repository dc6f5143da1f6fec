// The calendar clock and the machine's local-time rules, in 64-bit time.
#pragma once

#include <cstdint>
#include <ctime>

// Seconds since 1970-01-01 00:00:00 UTC, now.
std::int64_t CurrentCalendarTime();

// Converts a calendar time to the machine's local time; false when it cannot.
bool ToLocalCalendarTime(std::int64_t calendarTime, std::tm& local);
