#include "platform/local_time.h"

static_assert(sizeof(std::time_t) >= 8, "calendar times are 64-bit");

std::int64_t CurrentCalendarTime()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

bool ToLocalCalendarTime(std::int64_t calendarTime, std::tm& local)
{
    const auto t = static_cast<std::time_t>(calendarTime);
    return localtime_r(&t, &local) != nullptr;
}
