// Local broken-down time as the log stamps it.
#pragma once

#include <cstdint>

struct LogTime {
    int16_t year;   // e.g. 2019; 0 when the conversion failed
    int16_t month;  // 1..12; 0 when the conversion failed
    int16_t day;    // 1..31; 0 when the conversion failed
    int16_t hour;   // 0..23; -1 when the conversion failed
    int16_t minute; // -1 when the conversion failed
    int16_t second; // -1 when the conversion failed
};

// The stamp used when the local time cannot be obtained.
constexpr LogTime kLogTimeUnknown = {0, 0, 0, -1, -1, -1};

// Converts seconds since the epoch to local time; kLogTimeUnknown when the
// runtime cannot convert it.
LogTime LogTimeFromEpoch(int64_t secondsSinceEpoch);

// The current local time (read once).
LogTime LocalTimeNow();
