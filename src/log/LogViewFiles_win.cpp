// The log written to a text file and read back. The line format lives in the
// core; here are the wait cursor and the hand-over of a loaded log to the list.
#include "log/LogView_win.h"

#include <limits>

#include "log/AnsiCodec_win.h"
#include "log/LogFile.h"
#include "log/LogTime.h"

namespace {

// The hourglass while a file command runs inside one message.
class CWaitCursor {
public:
    CWaitCursor() : m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { SetCursor(m_previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

// Closes a stream opened by OpenLogFile.
class CLogFileStream {
public:
    explicit CLogFileStream(std::FILE* file) : m_file(file) {}
    ~CLogFileStream()
    {
        if (m_file) std::fclose(m_file);
    }
    CLogFileStream(const CLogFileStream&) = delete;
    CLogFileStream& operator=(const CLogFileStream&) = delete;
    std::FILE* Get() const { return m_file; }

private:
    std::FILE* m_file;
};

} // namespace

LogStoreResult CLogView::Store(const std::wstring& path)
{
    CWaitCursor wait;
    return StoreLogFile(path, m_log, AnsiLogTextCodec());
}

CLogView::LoadResult CLogView::Load(const std::wstring& path, const std::function<bool()>& mayReplace)
{
    CLogFileStream file(OpenLogFile(path, "rb"));
    if (!file.Get()) return LoadResult::CannotOpen;
    // A log of message rows alone is replaced without asking.
    if (m_log.RecordCount() > 0 && !mayReplace()) return LoadResult::Declined;

    CWaitCursor wait;
    {
        // Read into a store of its own; the current log goes only when the
        // whole file is in.
        LogStore incoming;
        const LogLoadResult result = ReadLog(file.Get(), incoming, AnsiLogTextCodec(), &LocalTimeNow);
        if (result.status != LogFileStatus::Ok) return LoadResult::Unreadable;
        Clear();
        m_log.Swap(incoming);
    }
    // The item count once, for the whole file, and the last row in view.
    if (HWND list = List()) {
        const size_t rowLimit = static_cast<size_t>(std::numeric_limits<int>::max());
        const int rows = static_cast<int>(m_log.RowCount() < rowLimit ? m_log.RowCount() : rowLimit);
        ListView_SetItemCountEx(list, rows, LVSICF_NOSCROLL);
        if (rows > 0) ListView_EnsureVisible(list, rows - 1, TRUE);
    }
    return LoadResult::Loaded;
}
