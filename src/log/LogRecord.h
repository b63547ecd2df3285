// Measurement records and log-list rows.
#pragma once

#include <cstdint>
#include <string>

#include "log/LogTime.h"

// One measurement. Producers start from a zero-filled record (tagLOGDATA rec{}).
// voltage sits before temperature so that the record packs into 32 bytes:
// long runs keep millions of them.
struct tagLOGDATA {
    int32_t rowIndex;   // row of this record's measurement row in the log list
    int16_t year;       // 0 when the local time was not available
    int16_t month;
    int16_t day;
    int16_t hour;       // -1 when the local time was not available
    int16_t minute;
    int16_t second;
    int32_t rsoc;       // percent; kLogRsocStandby marks a standby record
    uint16_t voltage;   // mV
    double temperature; // degrees Celsius
};

static_assert(sizeof(tagLOGDATA) == 32, "tagLOGDATA must stay compact");

constexpr int32_t kLogRsocStandby = -1;

// A reading stamped with a local time, as the tool and the command-line
// companion log it (row index 0: the store's owner sets it).
inline tagLOGDATA MakeLogRecord(const LogTime& when, int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA record{};
    record.year = when.year;
    record.month = when.month;
    record.day = when.day;
    record.hour = when.hour;
    record.minute = when.minute;
    record.second = when.second;
    record.rsoc = rsoc;
    record.temperature = temperature;
    record.voltage = voltage;
    return record;
}

// Row kinds, as reported to the list as the item parameter.
constexpr int32_t kLogRowMeasurement = 0;
constexpr int32_t kLogRowMessage = 1;

// Columns of the log list.
enum LogColumn : int {
    kLogColDate = 0,
    kLogColTime = 1,
    kLogColRsoc = 2,
    kLogColTemperature = 3,
    kLogColVoltage = 4,
    kLogColMessage = 5,
    kLogColumnCount = 6
};

// One row of the log list with all its texts. The store keeps rows compactly and
// builds this only when asked (LogStore::Row).
struct tagLOGSTRING {
    std::wstring date;
    std::wstring time;
    std::wstring rsoc;
    std::wstring temperature;
    std::wstring voltage;
    std::wstring message;
    int32_t kind = kLogRowMeasurement;
};
