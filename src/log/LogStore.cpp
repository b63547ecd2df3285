#include "log/LogStore.h"

#include <algorithm>

#include "log/LogLine.h"

namespace {

constexpr size_t kArenaBlockChars = 32768;
// Texts longer than this get a block of their own, so a block wastes little.
constexpr size_t kArenaOwnBlockChars = kArenaBlockChars / 8;

size_t CopyCut(const char16_t* text, size_t length, wchar_t* buffer, size_t capacity)
{
    if (capacity == 0)
        return 0;
    const size_t n = std::min(length, capacity - 1);
    for (size_t i = 0; i < n; ++i)
        buffer[i] = static_cast<wchar_t>(text[i]);
    buffer[n] = L'\0';
    return n;
}

size_t CopyCutAscii(const char* text, size_t length, wchar_t* buffer, size_t capacity)
{
    if (capacity == 0)
        return 0;
    const size_t n = std::min(length, capacity - 1);
    for (size_t i = 0; i < n; ++i)
        buffer[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    buffer[n] = L'\0';
    return n;
}

} // namespace

const char16_t* LogStore::TextArena::Store(std::wstring_view text)
{
    const size_t n = text.size();
    if (n == 0)
        return nullptr;
    char16_t* target;
    if (n > kArenaOwnBlockChars) {
        std::unique_ptr<char16_t[]> block(new char16_t[n]);
        target = block.get();
        blocks_.push_back(std::move(block));
    } else {
        if (freeCount_ < n) {
            std::unique_ptr<char16_t[]> block(new char16_t[kArenaBlockChars]);
            char16_t* start = block.get();
            blocks_.push_back(std::move(block));
            free_ = start;
            freeCount_ = kArenaBlockChars;
        }
        target = free_;
        free_ += n;
        freeCount_ -= n;
    }
    for (size_t i = 0; i < n; ++i)
        target[i] = static_cast<char16_t>(text[i]);
    return target;
}

void LogStore::TextArena::Clear()
{
    std::vector<std::unique_ptr<char16_t[]>>().swap(blocks_);
    free_ = nullptr;
    freeCount_ = 0;
}

void LogStore::TextArena::Swap(TextArena& other) noexcept
{
    blocks_.swap(other.blocks_);
    std::swap(free_, other.free_);
    std::swap(freeCount_, other.freeCount_);
}

void LogStore::AddMeasurementRow(const tagLOGDATA& record)
{
    records_.ReserveOne();
    rows_.ReserveOne();
    tagLOGDATA stored = record;
    stored.rowIndex = static_cast<int32_t>(rows_.size());
    rows_.PushBackReserved(static_cast<uint32_t>(records_.size()));
    records_.PushBackReserved(stored);
}

void LogStore::AddMessageRow(std::wstring_view text, const LogTime& stamp)
{
    rows_.ReserveOne();
    messages_.ReserveOne();
    const char16_t* stored = arena_.Store(text);
    rows_.PushBackReserved(static_cast<uint32_t>(messages_.size()) | kMessageBit);
    messages_.PushBackReserved(MessageEntry{stored, text.size(), stamp});
}

void LogStore::Clear()
{
    records_.clear();
    rows_.clear();
    messages_.clear();
    arena_.Clear();
}

void LogStore::Swap(LogStore& other) noexcept
{
    records_.swap(other.records_);
    rows_.swap(other.rows_);
    messages_.swap(other.messages_);
    arena_.Swap(other.arena_);
}

std::u16string_view LogStore::MessageText(size_t row) const
{
    if (RowKind(row) != kLogRowMessage)
        return {};
    const MessageEntry& m = messages_[rows_[row] & ~kMessageBit];
    return std::u16string_view(m.text, m.length);
}

LogTime LogStore::RowStamp(size_t row) const
{
    if (RowKind(row) == kLogRowMessage)
        return messages_[rows_[row] & ~kMessageBit].stamp;
    return LogTimeOf(records_[RecordIndexOfRow(row)]);
}

size_t LogStore::CellText(size_t row, int column, wchar_t* buffer, size_t capacity) const
{
    char cell[kLogCellMaxChars];
    size_t length = 0;
    if (RowKind(row) == kLogRowMeasurement) {
        length = FormatMeasurementCell(cell, records_[RecordIndexOfRow(row)], column);
    } else if (column == kLogColMessage) {
        const std::u16string_view text = MessageText(row);
        return CopyCut(text.data(), text.size(), buffer, capacity);
    } else if (column == kLogColDate) {
        length = FormatLogDate(cell, RowStamp(row));
    } else if (column == kLogColTime) {
        length = FormatLogTime(cell, RowStamp(row));
    }
    return CopyCutAscii(cell, length, buffer, capacity);
}

std::wstring LogStore::CellText(size_t row, int column) const
{
    if (RowKind(row) == kLogRowMessage && column == kLogColMessage) {
        const std::u16string_view text = MessageText(row);
        return std::wstring(text.begin(), text.end());
    }
    wchar_t cell[kLogCellMaxChars + 1];
    const size_t n = CellText(row, column, cell, kLogCellMaxChars + 1);
    return std::wstring(cell, n);
}

tagLOGSTRING LogStore::Row(size_t row) const
{
    tagLOGSTRING s;
    s.date = CellText(row, kLogColDate);
    s.time = CellText(row, kLogColTime);
    s.rsoc = CellText(row, kLogColRsoc);
    s.temperature = CellText(row, kLogColTemperature);
    s.voltage = CellText(row, kLogColVoltage);
    s.message = CellText(row, kLogColMessage);
    s.kind = RowKind(row);
    return s;
}
