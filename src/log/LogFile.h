// Log files: one line per row, CR LF line ends, text in the system's ANSI code page.
// Measurement lines are ASCII and are made and read here; message lines pass
// through a LogTextCodec that the Win32 shell backs with the ANSI code page.
// Reading and writing never depend on the user's locale.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "log/LogStore.h"
#include "log/LogTime.h"

// Conversion of message texts between the file's bytes and wide characters.
struct LogTextCodec {
    // Replaces `out` with the wide text of n bytes.
    std::function<void(const char* bytes, size_t n, std::wstring& out)> toWide;
    // Appends the bytes of n wide characters to `out`; false when a character has
    // no form in the file's code page.
    std::function<bool(const wchar_t* text, size_t n, std::string& out)> toBytes;
};

// Bytes 0..255 are the characters U+0000..U+00FF; other characters cannot be written.
const LogTextCodec& Latin1LogTextCodec();

enum class LogFileStatus {
    Ok,
    OpenFailed,      // the file could not be opened or created
    ReadFailed,      // the runtime reported a read error
    WriteFailed,     // a write, flush or close failed (e.g. disk full)
    OutOfMemory      // the log did not fit into memory
};

struct LogLoadResult {
    LogFileStatus status = LogFileStatus::Ok;
    size_t records = 0; // records appended
    size_t rows = 0;    // rows appended
};

// A message row whose text the code page cannot hold as it is.
struct LogReplacedRow {
    size_t row;           // its index, and the line's index in the file
    std::wstring written; // the text its line holds
};

// How many replaced rows a store result names; it counts them all.
constexpr size_t kLogReplacedRowsNamed = 10;

struct LogStoreResult {
    LogFileStatus status = LogFileStatus::Ok;
    size_t rowsWritten = 0; // rows whose lines reached the file (WriteLog: before a failure; StoreLogFile: 0 on one)
    size_t replacedRows = 0;                // message rows written with replacements
    std::vector<LogReplacedRow> replaced;   // the first kLogReplacedRowsNamed of them
};

// The text with each character the codec cannot hold replaced by '?' (a
// surrogate pair counts as one character).
std::wstring WithUnrepresentableReplaced(const std::wstring& text, const LogTextCodec& codec);

// Where the stamp of a loaded message row comes from (the time of the load).
using LogClock = std::function<LogTime()>;

// Lines of a measurement row longer than this are read only up to it.
constexpr size_t kLogMeasurementLineCap = size_t(1) << 20;

// Reads every line of `in` (opened in binary mode) and appends its row to `into`:
// lines beginning with "<" become message rows stamped by `now`, all others
// measurement rows (ParseMeasurementLine). "\r\n" and "\n" end lines. On a failure
// the rows read so far stay in `into`, so load into an empty side store and swap it
// in on success when the current log must survive a failure.
LogLoadResult ReadLog(std::FILE* in, LogStore& into, const LogTextCodec& codec, const LogClock& now);

// Writes one line per row, each ended by "\r\n", to `out` (opened in binary mode):
// a row with an empty message text as a measurement line, any other as its message
// text alone. No row stops the others: a message text the code page cannot hold
// is written with '?' for each character it lacks, and the result names the row.
// Stops at the first write failure; the lines before it are written.
LogStoreResult WriteLog(std::FILE* out, const LogStore& log, const LogTextCodec& codec);

// Appends the line of one row, "\r\n" included, as WriteLog writes it; false
// when the row does not exist or its text cannot be represented.
bool FormatLogRowLine(const LogStore& log, size_t row, const LogTextCodec& codec, std::string& out);

// Opens a file by a wide path ("rb", "wb", ...); nullptr when it cannot.
std::FILE* OpenLogFile(const std::wstring& path, const char* mode);

// ReadLog from the file at `path`; OpenFailed leaves `into` untouched.
LogLoadResult LoadLogFile(const std::wstring& path, LogStore& into, const LogTextCodec& codec,
                          const LogClock& now);

// WriteLog to the file at `path`. The lines go to a new file beside it, which
// takes the place of `path` only once it is whole and on the disk: a store that
// fails leaves an existing file as it was, and no new file behind. A new file
// that cannot be created is OpenFailed; a failing write, flush, close or
// replacement WriteFailed.
LogStoreResult StoreLogFile(const std::wstring& path, const LogStore& log, const LogTextCodec& codec);
