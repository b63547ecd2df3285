#include "log/LogTime.h"

#include <ctime>

LogTime LogTimeFromEpoch(int64_t secondsSinceEpoch)
{
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    if (static_cast<int64_t>(t) != secondsSinceEpoch)
        return kLogTimeUnknown;
    std::tm tm{};
#if defined(_WIN32)
    if (localtime_s(&tm, &t) != 0)
        return kLogTimeUnknown;
#else
    if (localtime_r(&t, &tm) == nullptr)
        return kLogTimeUnknown;
#endif
    const int year = tm.tm_year + 1900;
    if (year < -32768 || year > 32767)
        return kLogTimeUnknown;
    return LogTime{static_cast<int16_t>(year), static_cast<int16_t>(tm.tm_mon + 1),
                   static_cast<int16_t>(tm.tm_mday), static_cast<int16_t>(tm.tm_hour),
                   static_cast<int16_t>(tm.tm_min), static_cast<int16_t>(tm.tm_sec)};
}

LogTime LocalTimeNow()
{
    return LogTimeFromEpoch(static_cast<int64_t>(std::time(nullptr)));
}
