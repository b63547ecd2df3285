#include "log/LogLine.h"

#include <cstring>

namespace {

bool IsSeparator(char c)
{
    return c == ',' || c == '\n';
}

size_t Append(char* out, const char* text, size_t n)
{
    std::memcpy(out, text, n);
    return n;
}

// Characters [start, start + count) of a token, clipped to its end.
int32_t ParsePiece(const char* first, const char* last, size_t start, size_t count)
{
    const size_t length = static_cast<size_t>(last - first);
    if (start >= length)
        return 0;
    const size_t end = start + count < length ? start + count : length;
    return ParseInt32(first + start, first + end);
}

int16_t Digits(const char* p, size_t n)
{
    int value = 0;
    for (size_t i = 0; i < n; ++i)
        value = value * 10 + (p[i] - '0');
    return static_cast<int16_t>(value);
}

// Date and time as this tool writes them ("2019/01/18 09:05:07..."): every piece is
// plain digits, which ParsePiece would read to the same values.
bool ParseCanonicalDateTime(const char* first, const char* last, tagLOGDATA& record)
{
    static const unsigned char kDigitAt[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    if (last - first < 19)
        return false;
    for (unsigned char i : kDigitAt)
        if (first[i] < '0' || first[i] > '9')
            return false;
    record.year = Digits(first, 4);
    record.month = Digits(first + 5, 2);
    record.day = Digits(first + 8, 2);
    record.hour = Digits(first + 11, 2);
    record.minute = Digits(first + 14, 2);
    record.second = Digits(first + 17, 2);
    return true;
}

bool EqualsIgnoringAsciiCase(const char* first, const char* last, const char* word)
{
    const size_t n = std::strlen(word);
    if (static_cast<size_t>(last - first) != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char c = first[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        char w = word[i];
        if (w >= 'A' && w <= 'Z')
            w = static_cast<char>(w + 32);
        if (c != w)
            return false;
    }
    return true;
}

} // namespace

bool LogTokenizer::Next(const char*& first, const char*& last)
{
    while (p_ != end_ && IsSeparator(*p_))
        ++p_;
    if (p_ == end_)
        return false;
    first = p_;
    while (p_ != end_ && !IsSeparator(*p_))
        ++p_;
    last = p_;
    return true;
}

size_t FormatLogDate(char* out, const LogTime& t)
{
    size_t n = FormatIntZeroPad(out, t.year, 4);
    out[n++] = '/';
    n += FormatIntZeroPad(out + n, t.month, 2);
    out[n++] = '/';
    n += FormatIntZeroPad(out + n, t.day, 2);
    return n;
}

size_t FormatLogTime(char* out, const LogTime& t)
{
    size_t n = FormatIntZeroPad(out, t.hour, 2);
    out[n++] = ':';
    n += FormatIntZeroPad(out + n, t.minute, 2);
    out[n++] = ':';
    n += FormatIntZeroPad(out + n, t.second, 2);
    return n;
}

LogTime LogTimeOf(const tagLOGDATA& record)
{
    return LogTime{record.year, record.month, record.day, record.hour, record.minute, record.second};
}

size_t FormatMeasurementCell(char* out, const tagLOGDATA& record, int column)
{
    switch (column) {
    case kLogColDate:
        return FormatLogDate(out, LogTimeOf(record));
    case kLogColTime:
        return FormatLogTime(out, LogTimeOf(record));
    case kLogColRsoc:
        if (record.rsoc == kLogRsocStandby)
            return Append(out, kLogStandbyText, sizeof kLogStandbyText - 1);
        return FormatUnsigned(out, static_cast<uint32_t>(record.rsoc));
    case kLogColTemperature:
        return FormatFixed1(out, record.temperature);
    case kLogColVoltage:
        return FormatUnsigned(out, record.voltage);
    default:
        return 0;
    }
}

size_t FormatMeasurementLine(char* out, const tagLOGDATA& record)
{
    const LogTime t = LogTimeOf(record);
    size_t n = FormatLogDate(out, t);
    out[n++] = ' ';
    n += FormatLogTime(out + n, t);
    if (record.rsoc == kLogRsocStandby) {
        out[n++] = ',';
        n += Append(out + n, kLogStandbyText, sizeof kLogStandbyText - 1);
    } else {
        n += Append(out + n, ", ", 2);
        n += FormatUnsigned(out + n, static_cast<uint32_t>(record.rsoc));
    }
    n += Append(out + n, ", ", 2);
    n += FormatFixed1(out + n, record.temperature);
    n += Append(out + n, ", ", 2);
    n += FormatUnsigned(out + n, record.voltage);
    return n;
}

tagLOGDATA ParseMeasurementLine(const char* line, size_t length)
{
    tagLOGDATA record{};
    LogTokenizer tokens(line, length);
    const char* first;
    const char* last;
    if (!tokens.Next(first, last))
        return record;
    if (!ParseCanonicalDateTime(first, last, record)) {
        record.year = static_cast<int16_t>(ParsePiece(first, last, 0, 4));
        record.month = static_cast<int16_t>(ParsePiece(first, last, 5, 2));
        record.day = static_cast<int16_t>(ParsePiece(first, last, 8, 2));
        record.hour = static_cast<int16_t>(ParsePiece(first, last, 11, 2));
        record.minute = static_cast<int16_t>(ParsePiece(first, last, 14, 2));
        record.second = static_cast<int16_t>(ParsePiece(first, last, 17, 2));
    }
    if (!tokens.Next(first, last))
        return record;
    // Files of earlier versions wrote standby as "%u" of -1, 4294967295; any
    // other value beyond the 32-bit range takes its nearest limit, as wcstol does.
    record.rsoc = EqualsIgnoringAsciiCase(first, last, kLogStandbyText)
                      ? kLogRsocStandby
                      : ParseInt32MinusOneAsUnsigned(first, last);
    if (!tokens.Next(first, last))
        return record;
    record.temperature = ParseDouble(first, last);
    if (!tokens.Next(first, last))
        return record;
    record.voltage = static_cast<uint16_t>(ParseInt32(first, last));
    return record;
}
