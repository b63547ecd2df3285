#include "log/LogFile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "log/LogLine.h"

namespace {

constexpr size_t kReadChunk = size_t(1) << 20;
constexpr size_t kWriteChunk = size_t(1) << 18;

void Latin1ToWide(const char* bytes, size_t n, std::wstring& out)
{
    out.resize(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
}

bool WideToLatin1(const wchar_t* text, size_t n, std::string& out)
{
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned long>(text[i]);
        if (c > 0xFF)
            return false;
        out.push_back(static_cast<char>(c));
    }
    return true;
}

bool HasNonAscii(const char* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return true;
    return false;
}

// Turns file lines into rows of a store.
class RowReader {
public:
    RowReader(LogStore& into, const LogTextCodec& codec, const LogClock& now)
        : into_(into), codec_(codec), now_(now) {}

    void Line(const char* p, size_t n)
    {
        if (n > 0 && p[0] == '<') {
            codec_.toWide(p, n, wide_);
            into_.AddMessageRow(wide_, now_());
            return;
        }
        n = std::min(n, kLogMeasurementLineCap);
        if (!HasNonAscii(p, n)) {
            into_.AddMeasurementRow(ParseMeasurementLine(p, n));
            return;
        }
        // Fixed positions count characters, not bytes: parse the decoded line, one
        // char per character (only ASCII matters to the numbers and separators).
        codec_.toWide(p, n, wide_);
        narrow_.resize(wide_.size());
        for (size_t i = 0; i < wide_.size(); ++i) {
            const auto c = static_cast<unsigned long>(wide_[i]);
            narrow_[i] = c < 0x80 ? static_cast<char>(c) : '\x7f';
        }
        into_.AddMeasurementRow(ParseMeasurementLine(narrow_.data(), narrow_.size()));
    }

private:
    LogStore& into_;
    const LogTextCodec& codec_;
    const LogClock& now_;
    std::wstring wide_;
    std::string narrow_;
};

// A line that crosses a read chunk; a measurement line is kept only as far as it
// is parsed (one byte more, for a CR before its line break).
void AppendToCarry(std::string& carry, const char* first, const char* last)
{
    const bool measurement = carry.empty() ? (first == last || *first != '<') : carry[0] != '<';
    size_t n = static_cast<size_t>(last - first);
    if (measurement) {
        const size_t room = kLogMeasurementLineCap + 1 > carry.size()
                                ? kLogMeasurementLineCap + 1 - carry.size()
                                : 0;
        n = std::min(n, room);
    }
    carry.append(first, n);
}

size_t WithoutCr(const char* p, size_t n)
{
    return n > 0 && p[n - 1] == '\r' ? n - 1 : n;
}

LogLoadResult ReadLines(std::FILE* in, RowReader& reader)
{
    LogLoadResult result;
    std::vector<char> buffer(kReadChunk);
    std::string carry;
    bool inLine = false; // bytes after the last line break
    for (;;) {
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        const char* p = buffer.data();
        const char* end = p + got;
        while (p < end) {
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            if (nl == nullptr) {
                AppendToCarry(carry, p, end);
                inLine = true;
                break;
            }
            if (inLine) {
                AppendToCarry(carry, p, nl);
                reader.Line(carry.data(), WithoutCr(carry.data(), carry.size()));
                carry.clear();
                inLine = false;
            } else {
                reader.Line(p, WithoutCr(p, static_cast<size_t>(nl - p)));
            }
            p = nl + 1;
        }
        if (got < buffer.size()) {
            if (std::ferror(in)) {
                result.status = LogFileStatus::ReadFailed;
                return result;
            }
            break;
        }
    }
    // A last line without line break keeps everything it holds.
    if (inLine)
        reader.Line(carry.data(), carry.size());
    return result;
}

// Buffered writer that remembers the first failure and how many whole rows reached
// the runtime before it.
class LineWriter {
public:
    explicit LineWriter(std::FILE* out) : out_(out), buffer_(kWriteChunk) {}

    char* Room(size_t n)
    {
        if (buffer_.size() - used_ < n)
            Drain();
        return buffer_.data() + used_;
    }

    void Commit(size_t n) { used_ += n; }

    void Write(const char* p, size_t n)
    {
        if (n > buffer_.size() - used_) {
            Drain();
            if (n > buffer_.size()) {
                if (!failed_ && std::fwrite(p, 1, n, out_) != n)
                    failed_ = true;
                return;
            }
        }
        std::memcpy(buffer_.data() + used_, p, n);
        used_ += n;
    }

    void EndRow() { ++rowsPending_; }

    // Hands the buffer to the runtime and flushes it; false after any failure.
    bool Finish()
    {
        Drain();
        if (!failed_ && std::fflush(out_) != 0)
            failed_ = true;
        return !failed_;
    }

    bool Failed() const { return failed_; }
    size_t RowsWritten() const { return rowsWritten_; }

private:
    void Drain()
    {
        if (used_ > 0 && !failed_ && std::fwrite(buffer_.data(), 1, used_, out_) != used_)
            failed_ = true;
        used_ = 0;
        if (!failed_) {
            rowsWritten_ += rowsPending_;
            rowsPending_ = 0;
        }
    }

    std::FILE* out_;
    std::vector<char> buffer_;
    size_t used_ = 0;
    size_t rowsPending_ = 0;
    size_t rowsWritten_ = 0;
    bool failed_ = false;
};

// Line of a row whose message text is empty but which is a message row: the row's
// texts joined as a measurement line would be, its value texts being empty.
size_t FormatEmptyMessageLine(char* out, const LogTime& stamp)
{
    size_t n = FormatLogDate(out, stamp);
    out[n++] = ' ';
    n += FormatLogTime(out + n, stamp);
    std::memcpy(out + n, ", , , ", 6);
    return n + 6;
}

} // namespace

const LogTextCodec& Latin1LogTextCodec()
{
    static const LogTextCodec codec{&Latin1ToWide, &WideToLatin1};
    return codec;
}

LogLoadResult ReadLog(std::FILE* in, LogStore& into, const LogTextCodec& codec, const LogClock& now)
{
    const size_t records = into.RecordCount();
    const size_t rows = into.RowCount();
    LogLoadResult result;
    try {
        RowReader reader(into, codec, now);
        result = ReadLines(in, reader);
    } catch (const std::bad_alloc&) {
        result.status = LogFileStatus::OutOfMemory;
    }
    result.records = into.RecordCount() - records;
    result.rows = into.RowCount() - rows;
    return result;
}

namespace {

// Measurement rows and message rows without text have a line of bounded
// length that needs no code page; other message rows go through the codec.
bool HasFixedLine(const LogStore& log, size_t row)
{
    return log.RowKind(row) == kLogRowMeasurement || log.MessageText(row).empty();
}

// The line of such a row, without its end, into kLogLineMaxChars characters.
size_t FormatFixedLine(const LogStore& log, size_t row, char* line)
{
    return log.RowKind(row) == kLogRowMeasurement
               ? FormatMeasurementLine(line, log.Record(log.RecordIndexOfRow(row)))
               : FormatEmptyMessageLine(line, log.RowStamp(row));
}

} // namespace

LogStoreResult WriteLog(std::FILE* out, const LogStore& log, const LogTextCodec& codec)
{
    LogStoreResult result;
    try {
        LineWriter writer(out);
        std::wstring wide;
        std::string bytes;
        const size_t rowCount = log.RowCount();
        for (size_t row = 0; row < rowCount && !writer.Failed(); ++row) {
            if (HasFixedLine(log, row)) {
                char* line = writer.Room(kLogLineMaxChars + 2);
                size_t n = FormatFixedLine(log, row, line);
                line[n++] = '\r';
                line[n++] = '\n';
                writer.Commit(n);
            } else {
                const std::u16string_view text = log.MessageText(row);
                wide.assign(text.begin(), text.end());
                bytes.clear();
                if (!codec.toBytes(wide.data(), wide.size(), bytes)) {
                    // The measurements after it must still be stored: the
                    // row goes with '?' in place of what the page lacks.
                    std::wstring written = WithUnrepresentableReplaced(wide, codec);
                    bytes.clear();
                    if (!codec.toBytes(written.data(), written.size(), bytes)) {
                        for (wchar_t& c : written)
                            if (static_cast<unsigned long>(c) >= 0x80) c = L'?';
                        bytes.assign(written.begin(), written.end());
                    }
                    if (result.replacedRows++ < kLogReplacedRowsNamed)
                        result.replaced.push_back({row, std::move(written)});
                }
                bytes += "\r\n";
                writer.Write(bytes.data(), bytes.size());
            }
            writer.EndRow();
        }
        if (!writer.Finish())
            result.status = LogFileStatus::WriteFailed;
        result.rowsWritten = writer.RowsWritten();
    } catch (const std::bad_alloc&) {
        result.status = LogFileStatus::OutOfMemory;
    }
    return result;
}

std::wstring WithUnrepresentableReplaced(const std::wstring& text, const LogTextCodec& codec)
{
    std::wstring out;
    std::string scratch;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned long>(text[i]);
        const bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() &&
                          static_cast<unsigned long>(text[i + 1]) >= 0xDC00 &&
                          static_cast<unsigned long>(text[i + 1]) < 0xE000;
        const size_t n = pair ? 2 : 1;
        scratch.clear();
        if (codec.toBytes(text.data() + i, n, scratch))
            out.append(text, i, n);
        else
            out += L'?';
        i += n;
    }
    return out;
}

bool FormatLogRowLine(const LogStore& log, size_t row, const LogTextCodec& codec, std::string& out)
{
    if (row >= log.RowCount()) return false;
    if (HasFixedLine(log, row)) {
        char line[kLogLineMaxChars];
        out.append(line, FormatFixedLine(log, row, line));
    } else {
        const std::u16string_view text = log.MessageText(row);
        const std::wstring wide(text.begin(), text.end());
        if (!codec.toBytes(wide.data(), wide.size(), out)) return false;
    }
    out += "\r\n";
    return true;
}

std::FILE* OpenLogFile(const std::wstring& path, const char* mode)
{
#if defined(_WIN32)
    std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    std::string utf8;
    for (const wchar_t wc : path) {
        const auto c = static_cast<unsigned long>(wc);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (c >> 18));
            utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return std::fopen(utf8.c_str(), mode);
#endif
}

LogLoadResult LoadLogFile(const std::wstring& path, LogStore& into, const LogTextCodec& codec,
                          const LogClock& now)
{
    std::FILE* in = OpenLogFile(path, "rb");
    if (in == nullptr) {
        LogLoadResult result;
        result.status = LogFileStatus::OpenFailed;
        return result;
    }
    const LogLoadResult result = ReadLog(in, into, codec, now);
    std::fclose(in);
    return result;
}
