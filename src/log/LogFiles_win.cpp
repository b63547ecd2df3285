// "Store log..." and the system menu's "Load LogFile(&L)...": the log list
// written to a text file and read back. The line format lives in the core;
// here are the file dialogs, the wait cursor, the message boxes and the
// hand-over of a loaded log to the list and the graphs.
#include "app/VantrelDlg_win.h"

#include "fw/FileDialog_win.h"
#include <limits>
#include <vector>

#include "fw/MessageBox_win.h"
#include "log/AnsiCodec_win.h"
#include "log/LogFile.h"
#include "log/LogTime.h"
#include "resource.h"

namespace {

// Room for long paths; the dialogs refuse a name that does not fit.
constexpr DWORD kPathChars = 4096;

const wchar_t kOpenFileError[] = L"open file error";
const wchar_t kStoreFileError[] = L"store file error";

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

void CVantrelDlg::OnStoreLog()
{
    const std::wstring path = AskSavePath(
        GetHwnd(), {L"TEXT Files (*.txt)\0*.txt\0\0", L"txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kPathChars});
    if (!path.empty()) StoreLogToPath(path);
}

bool CVantrelDlg::StoreLogToPath(const std::wstring& path)
{
    LogStoreResult result;
    {
        CWaitCursor wait;
        result = StoreLogFile(path, m_logData, AnsiLogTextCodec());
    }
    if (result.status == LogFileStatus::Ok) return true;
    // A file that could not be created, or that lost lines on the way to the
    // disk, must not pass for a stored log.
    AppMessageBox(GetHwnd(), kStoreFileError, L"error", MB_OK | MB_ICONWARNING);
    return false;
}

void CVantrelDlg::LoadLog()
{
    const std::wstring path =
        AskOpenPath(GetHwnd(), {L"Vantrel Log File (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0", L"txt",
                                OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, kPathChars});
    if (!path.empty()) LoadLogFromPath(path);
}

bool CVantrelDlg::LoadLogFromPath(const std::wstring& path)
{
    // The file is opened before anything is asked or cleared: a file that
    // cannot be read must not cost the user the log on the screen.
    CLogFileStream file(OpenLogFile(path, "rb"));
    if (!file.Get()) {
        AppMessageBox(GetHwnd(), kOpenFileError, L"error", MB_OK | MB_ICONWARNING);
        return false;
    }
    // A log of message rows alone is replaced without asking.
    if (m_logData.RecordCount() > 0 &&
        AppMessageBox(GetHwnd(), L"Load LogFile.\nClear Current Logdata?", AppName(), MB_YESNO) != IDYES)
        return false;

    bool loaded = false;
    {
        CWaitCursor wait;
        {
            // Read into a store of its own; the current log goes only when
            // the whole file is in.
            LogStore incoming;
            const LogLoadResult result = ReadLog(file.Get(), incoming, AnsiLogTextCodec(), &LocalTimeNow);
            if (result.status == LogFileStatus::Ok) {
                ClearLogData();
                m_logData.Swap(incoming);
                loaded = true;
            }
        }
        if (loaded) ShowLoadedLog();
    }
    if (!loaded) AppMessageBox(GetHwnd(), kOpenFileError, L"error", MB_OK | MB_ICONWARNING);
    return loaded;
}

void CVantrelDlg::ShowLoadedLog()
{
    // The cursor is on no record until the user picks one.
    const size_t records = m_logData.RecordCount();
    const size_t cursorLimit = static_cast<size_t>(std::numeric_limits<int32_t>::max());
    m_cursorOffset = static_cast<int32_t>(records < cursorLimit ? records : cursorLimit);

    // The item count once, for the whole file, and the last row in view.
    if (HWND list = Item(IDC_LOG_LIST)) {
        const size_t rowLimit = static_cast<size_t>(std::numeric_limits<int>::max());
        const int rows = static_cast<int>(m_logData.RowCount() < rowLimit ? m_logData.RowCount() : rowLimit);
        ListView_SetItemCountEx(list, rows, LVSICF_NOSCROLL);
        if (rows > 0) ListView_EnsureVisible(list, rows - 1, TRUE);
    }
    UpdateGraphScrollBar();
    BuildGraphPoints();
    RedrawGraph();
}
