// Whole log files of arbitrary bytes, loaded into a log that may already
// hold rows. Checked: one row per line, message rows for lines beginning
// with "<" (text kept byte for byte), measurement rows equal to the line
// parser's record; storing writes each row's line; and the stored file loads
// and stores again to the same bytes. Cell texts copied into short buffers
// stay inside them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "log/LogFile.h"
#include "log/LogLine.h"

namespace {

constexpr LogTime kLoadTime = {2024, 5, 6, 7, 8, 9};

bool SameTime(const LogTime& a, const LogTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

LogLoadResult Load(const std::string& bytes, LogStore& into)
{
    // fmemopen refuses an empty buffer on some C libraries.
    std::FILE* in = bytes.empty() ? std::tmpfile() : fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    FUZZ_CHECK(in != nullptr);
    const LogLoadResult result = ReadLog(in, into, Latin1LogTextCodec(), [] { return kLoadTime; });
    std::fclose(in);
    return result;
}

std::string Store(const LogStore& log, size_t& rowsWritten)
{
    char* buffer = nullptr;
    size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    FUZZ_CHECK(out != nullptr);
    const LogStoreResult result = WriteLog(out, log, Latin1LogTextCodec());
    FUZZ_CHECK(result.status == LogFileStatus::Ok);
    std::fclose(out);
    std::string bytes(buffer, length);
    std::free(buffer);
    rowsWritten = result.rowsWritten;
    return bytes;
}

// The lines of a file as the reader sees them: "\n" ends a line, one "\r"
// before it goes with it; a last line without line break counts too.
std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string MeasurementLine(const tagLOGDATA& record)
{
    char line[kLogLineMaxChars];
    return std::string(line, FormatMeasurementLine(line, record));
}

void CheckCellCopies(const LogStore& log, size_t row, uint8_t capacitySeed)
{
    for (int column = 0; column < kLogColumnCount; ++column) {
        const std::wstring whole = log.CellText(row, column);
        const size_t capacity = capacitySeed % 12;
        std::unique_ptr<wchar_t[]> buffer(capacity ? new wchar_t[capacity] : nullptr);
        const size_t n = log.CellText(row, column, buffer.get(), capacity);
        if (capacity == 0) {
            FUZZ_CHECK(n == 0);
            continue;
        }
        FUZZ_CHECK(n == std::min(whole.size(), capacity - 1));
        FUZZ_CHECK(buffer[n] == L'\0');
        FUZZ_CHECK(whole.compare(0, n, buffer.get(), n) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int earlierRows = input.ConsumeIntegralInRange(0, 2);
    // Every load and store takes megabyte buffers, slow under ASan; the
    // second round trip runs for every other input only.
    const bool roundTrip = input.ConsumeBool();
    const uint8_t capacitySeed = input.ConsumeIntegral<uint8_t>();
    const std::string file = input.ConsumeRemainingBytesAsString();

    LogStore log;
    for (int i = 0; i < earlierRows; ++i) {
        tagLOGDATA record{};
        record.rsoc = 50 + i;
        log.AddMeasurementRow(record);
        log.AddMessageRow(L"<earlier>", kLoadTime);
    }
    const size_t rowsBefore = log.RowCount();
    const size_t recordsBefore = log.RecordCount();

    const LogLoadResult loaded = Load(file, log);
    FUZZ_CHECK(loaded.status == LogFileStatus::Ok);
    const std::vector<std::string> lines = Lines(file);
    FUZZ_CHECK(loaded.rows == lines.size());
    FUZZ_CHECK(log.RowCount() == rowsBefore + lines.size());
    FUZZ_CHECK(log.RecordCount() == recordsBefore + loaded.records);

    size_t records = recordsBefore;
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t row = rowsBefore + i;
        const std::string& line = lines[i];
        if (!line.empty() && line[0] == '<') {
            FUZZ_CHECK(log.RowKind(row) == kLogRowMessage);
            const std::u16string_view text = log.MessageText(row);
            FUZZ_CHECK(text.size() == line.size());
            for (size_t k = 0; k < line.size(); ++k) {
                FUZZ_CHECK(text[k] == static_cast<unsigned char>(line[k]));
            }
            FUZZ_CHECK(SameTime(log.RowStamp(row), kLoadTime));
        } else {
            FUZZ_CHECK(log.RowKind(row) == kLogRowMeasurement);
            FUZZ_CHECK(log.RecordIndexOfRow(row) == records);
            // Non-ASCII characters take part in no number.
            std::string ascii = line;
            for (char& c : ascii) {
                if (static_cast<unsigned char>(c) >= 0x80) {
                    c = '\x7f';
                }
            }
            const tagLOGDATA want = ParseMeasurementLine(ascii.data(), ascii.size());
            const tagLOGDATA& got = log.Record(records);
            FUZZ_CHECK(got.rowIndex == static_cast<int32_t>(row));
            FUZZ_CHECK(MeasurementLine(got) == MeasurementLine(want));
            ++records;
        }
        if (i < 4) {
            CheckCellCopies(log, row, static_cast<uint8_t>(capacitySeed + i));
        }
    }
    FUZZ_CHECK(records == log.RecordCount());

    size_t written = 0;
    const std::string stored = Store(log, written);
    FUZZ_CHECK(written == log.RowCount());
    const std::vector<std::string> storedLines = Lines(stored);
    FUZZ_CHECK(storedLines.size() == log.RowCount());
    for (size_t row = 0; row < log.RowCount(); ++row) {
        if (log.RowKind(row) == kLogRowMeasurement) {
            FUZZ_CHECK(storedLines[row] == MeasurementLine(log.Record(log.RecordIndexOfRow(row))));
        } else {
            const std::u16string_view text = log.MessageText(row);
            FUZZ_CHECK(storedLines[row].size() == text.size());
        }
    }

    // Load what was stored and store it again: the same bytes.
    if (!roundTrip) {
        return 0;
    }
    LogStore reloaded;
    const LogLoadResult again = Load(stored, reloaded);
    FUZZ_CHECK(again.status == LogFileStatus::Ok && again.rows == log.RowCount());
    size_t rewrittenRows = 0;
    const std::string rewritten = Store(reloaded, rewrittenRows);
    bool negativeRsoc = false;
    for (size_t i = 0; i < log.RecordCount(); ++i) negativeRsoc = negativeRsoc || log.Record(i).rsoc < -1;
    if (!negativeRsoc) {
        FUZZ_CHECK(rewritten == stored);
        return 0;
    }
    // A negative RSOC (only a hand-made line holds one) is written as its
    // unsigned text, which loads back at the nearest limit; from then on the
    // text stays the same.
    LogStore third;
    FUZZ_CHECK(Load(rewritten, third).status == LogFileStatus::Ok);
    FUZZ_CHECK(Store(third, rewrittenRows) == rewritten);
    return 0;
}
