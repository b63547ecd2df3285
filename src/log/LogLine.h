// Texts of measurement rows and the lines of log files. Measurement texts and lines
// are pure ASCII; message lines are handled by the file reader and writer.
#pragma once

#include <cstddef>

#include "log/LogRecord.h"
#include "log/LogTime.h"
#include "log/TextNumbers.h"

// Capacity for one cell text of a measurement row (the temperature is the longest).
constexpr size_t kLogCellMaxChars = kFixed1MaxChars;

// Capacity for one measurement line without its line break.
constexpr size_t kLogLineMaxChars = 64 + kFixed1MaxChars;

// The RSOC text of a standby record, also how it is written to files.
constexpr char kLogStandbyText[] = "Standby";

// "%04d/%02d/%02d" and "%02d:%02d:%02d". Write no NUL; return the length.
size_t FormatLogDate(char* out, const LogTime& t);
size_t FormatLogTime(char* out, const LogTime& t);

LogTime LogTimeOf(const tagLOGDATA& record);

// The text of one column of a record's measurement row: date, time, RSOC ("%u",
// "Standby" for a standby record), temperature ("%.1f"), voltage ("%u"); the message
// column and unknown columns are empty. `out` holds kLogCellMaxChars; no NUL.
size_t FormatMeasurementCell(char* out, const tagLOGDATA& record, int column);

// The file line of a measurement row, without line break:
// "2019/01/18 09:05:07, 85, 25.0, 3801". A standby record writes its RSOC directly
// after the comma ("...09:05:07,Standby, 25.0, 3801"), the form that loads back as
// standby. `out` holds kLogLineMaxChars; no NUL.
size_t FormatMeasurementLine(char* out, const tagLOGDATA& record);

// Reads a measurement line (line break removed) into a record; rowIndex stays 0.
// Tokens are split at "," and "\n" (runs count as one, leading ones skipped); token 0
// gives date and time by fixed character positions, token 1 the RSOC ("Standby" in
// any letter case gives standby), token 2 the temperature, token 3 the voltage (low
// 16 bits). Missing tokens leave their fields 0. Each char is one character.
tagLOGDATA ParseMeasurementLine(const char* line, size_t length);

// Splits a line into tokens at "," and "\n"; runs of separators count as one.
class LogTokenizer {
public:
    LogTokenizer(const char* line, size_t length) : p_(line), end_(line + length) {}

    // Next token; false when there is none.
    bool Next(const char*& first, const char*& last);

private:
    const char* p_;
    const char* end_;
};
