// The measurement log: the records (m_logData) and the rows of the log list
// (m_logStrings), kept in step and compact. A measurement row is its record (texts
// are made on demand, when the list paints a cell or a file is written); a message
// row keeps its stamp and its text in a shared arena. Appending costs O(1) and
// touches no existing row; every access by index is O(1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/ChunkedArray.h"
#include "log/LogRecord.h"
#include "log/LogTime.h"

class LogStore {
public:
    LogStore() = default;
    LogStore(const LogStore&) = delete;
    LogStore& operator=(const LogStore&) = delete;
    LogStore(LogStore&&) noexcept = default;
    LogStore& operator=(LogStore&&) noexcept = default;

    size_t RecordCount() const { return records_.size(); }
    size_t RowCount() const { return rows_.size(); }

    // Record i, oldest first (0 <= i < RecordCount()).
    const tagLOGDATA& Record(size_t i) const { return records_[i]; }

    // kLogRowMeasurement or kLogRowMessage (0 <= row < RowCount()).
    int32_t RowKind(size_t row) const
    {
        return (rows_[row] & kMessageBit) != 0 ? kLogRowMessage : kLogRowMeasurement;
    }

    // Index in the records of a measurement row; only for measurement rows.
    size_t RecordIndexOfRow(size_t row) const { return rows_[row] & ~kMessageBit; }

    // Appends the record and its measurement row. The record's rowIndex is set to
    // the row it gets (the row count before the append). May throw std::bad_alloc,
    // leaving the store unchanged.
    void AddMeasurementRow(const tagLOGDATA& record);

    // Appends a message row with the whole text, stamped with `stamp`. Texts are
    // kept in 16 bits per character (all texts are BMP characters). May throw
    // std::bad_alloc, leaving the store unchanged.
    void AddMessageRow(std::wstring_view text, const LogTime& stamp);

    // Frees every record and row.
    void Clear();

    void Swap(LogStore& other) noexcept;

    // Copies the text of one cell (column 0..5) into `buffer` of `capacity`
    // characters, cut to capacity - 1 and always NUL-terminated (nothing is written
    // when capacity is 0). Another column number gives an empty text. Returns the
    // number of characters written without the NUL.
    size_t CellText(size_t row, int column, wchar_t* buffer, size_t capacity) const;

    // The whole text of one cell.
    std::wstring CellText(size_t row, int column) const;

    // All texts of a row.
    tagLOGSTRING Row(size_t row) const;

    // The text of a message row (empty for a measurement row).
    std::u16string_view MessageText(size_t row) const;

    // The stamp of a message row, or of the record of a measurement row.
    LogTime RowStamp(size_t row) const;

private:
    static constexpr uint32_t kMessageBit = 0x80000000u;

    struct MessageEntry {
        const char16_t* text;
        size_t length;
        LogTime stamp;
    };

    // Holds message texts in large shared blocks; long texts get a block of their own.
    class TextArena {
    public:
        // Copies the text; may throw std::bad_alloc, leaving the arena usable.
        const char16_t* Store(std::wstring_view text);
        void Clear();
        void Swap(TextArena& other) noexcept;

    private:
        std::vector<std::unique_ptr<char16_t[]>> blocks_;
        char16_t* free_ = nullptr;
        size_t freeCount_ = 0;
    };

    ChunkedArray<tagLOGDATA, 12> records_;
    ChunkedArray<uint32_t, 14> rows_;
    ChunkedArray<MessageEntry, 10> messages_;
    TextArena arena_;
};
