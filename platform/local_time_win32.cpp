#include "platform/local_time.h"

#include <time.h>

std::int64_t CurrentCalendarTime()
{
    return _time64(nullptr);
}

bool ToLocalCalendarTime(std::int64_t calendarTime, std::tm& local)
{
    const __time64_t t = calendarTime;
    return _localtime64_s(&local, &t) == 0;
}
