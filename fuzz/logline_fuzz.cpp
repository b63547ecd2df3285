// Measurement lines of the log. Any text parses without reading past its
// end, and the line made from what was read reads back to the same record
// and the same line (format(parse(x)) is a fixed point). Records with any
// field values format within the documented capacities, and the line agrees
// with the cell texts of the log list. The tokenizer returns every
// non-separator character exactly once, in order.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "log/LogLine.h"

namespace {

tagLOGDATA Parse(const std::string& text)
{
    std::unique_ptr<char[]> exact(new char[text.size() ? text.size() : 1]);
    std::memcpy(exact.get(), text.data(), text.size());
    return ParseMeasurementLine(exact.get(), text.size());
}

std::string Line(const tagLOGDATA& record)
{
    std::unique_ptr<char[]> out(new char[kLogLineMaxChars]);
    const size_t n = FormatMeasurementLine(out.get(), record);
    FUZZ_CHECK(n <= kLogLineMaxChars);
    return std::string(out.get(), n);
}

std::string Cell(const tagLOGDATA& record, int column)
{
    std::unique_ptr<char[]> out(new char[kLogCellMaxChars]);
    const size_t n = FormatMeasurementCell(out.get(), record, column);
    FUZZ_CHECK(n <= kLogCellMaxChars);
    return std::string(out.get(), n);
}

bool SameFields(const tagLOGDATA& a, const tagLOGDATA& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second && a.rsoc == b.rsoc && a.voltage == b.voltage;
}

// What a record's line reads back as: "%u" of a negative RSOC other than
// standby lies beyond the signed range and reads as its limit.
tagLOGDATA ReadBack(tagLOGDATA record)
{
    if (record.rsoc < kLogRsocStandby) {
        record.rsoc = INT32_MAX;
    }
    return record;
}

void CheckLineAgreesWithCells(const tagLOGDATA& record, const std::string& line)
{
    const std::string rsoc = record.rsoc == kLogRsocStandby ? "," + Cell(record, kLogColRsoc)
                                                            : ", " + Cell(record, kLogColRsoc);
    FUZZ_CHECK(line == Cell(record, kLogColDate) + " " + Cell(record, kLogColTime) + rsoc + ", " +
                           Cell(record, kLogColTemperature) + ", " + Cell(record, kLogColVoltage));
    FUZZ_CHECK(Cell(record, kLogColMessage).empty());
    FUZZ_CHECK(Cell(record, -1).empty() && Cell(record, kLogColumnCount).empty());
}

void CheckTokens(const std::string& text)
{
    std::string joined;
    LogTokenizer tokens(text.data(), text.size());
    const char* first;
    const char* last;
    const char* previousEnd = text.data();
    while (tokens.Next(first, last)) {
        FUZZ_CHECK(first >= previousEnd && first < last && last <= text.data() + text.size());
        for (const char* p = first; p != last; ++p) {
            FUZZ_CHECK(*p != ',' && *p != '\n');
        }
        joined.append(first, last);
        previousEnd = last;
    }
    std::string expected;
    for (const char c : text) {
        if (c != ',' && c != '\n') {
            expected.push_back(c);
        }
    }
    FUZZ_CHECK(joined == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    // Any record: every field a raw value, the temperature any bit pattern.
    tagLOGDATA any{};
    any.year = input.ConsumeIntegral<int16_t>();
    any.month = input.ConsumeIntegral<int16_t>();
    any.day = input.ConsumeIntegral<int16_t>();
    any.hour = input.ConsumeIntegral<int16_t>();
    any.minute = input.ConsumeIntegral<int16_t>();
    any.second = input.ConsumeIntegral<int16_t>();
    any.rsoc = input.ConsumeBool() ? kLogRsocStandby : input.ConsumeIntegral<int32_t>();
    any.voltage = input.ConsumeIntegral<uint16_t>();
    const uint64_t bits = input.ConsumeIntegral<uint64_t>();
    std::memcpy(&any.temperature, &bits, sizeof bits);
    const std::string anyLine = Line(any);
    CheckLineAgreesWithCells(any, anyLine);

    // Dates and times that fit their columns read back field by field.
    if (any.year >= 0 && any.year <= 9999 && any.month >= -9 && any.month <= 99 && any.day >= -9 && any.day <= 99 &&
        any.hour >= -9 && any.hour <= 99 && any.minute >= -9 && any.minute <= 99 && any.second >= -9 &&
        any.second <= 99) {
        const tagLOGDATA back = Parse(anyLine);
        FUZZ_CHECK(SameFields(back, ReadBack(any)));
        FUZZ_CHECK(Line(back) == Line(Parse(Line(back))));
    }

    const std::string text = input.ConsumeRemainingBytesAsString();
    CheckTokens(text);
    const tagLOGDATA parsed = Parse(text);
    FUZZ_CHECK(parsed.rowIndex == 0);
    const std::string line = Line(parsed);
    CheckLineAgreesWithCells(parsed, line);
    const tagLOGDATA again = Parse(line);
    FUZZ_CHECK(SameFields(again, ReadBack(parsed)));
    FUZZ_CHECK(Line(again) == Line(ReadBack(parsed)));
    return 0;
}
