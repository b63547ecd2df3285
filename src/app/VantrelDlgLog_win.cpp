// "Clear log", "Store log..." and the system menu's "Load LogFile(&L)...":
// the file dialogs and message boxes; the log view does the work and the
// graph view follows the log.
#include "app/VantrelDlg_win.h"

#include "fw/FileDialog_win.h"
#include "fw/MessageBox_win.h"
#include "log/LogStoreNotice.h"
#include "log/LogTime.h"

namespace {

// Room for long paths; the dialogs refuse a name that does not fit.
constexpr size_t kPathChars = 4096;

const wchar_t kOpenFileError[] = L"open file error";
const wchar_t kStoreFileError[] = L"store file error";

} // namespace

void CVantrelDlg::ClearLogData()
{
    m_graph.ResetView();
    m_logView.Clear();
}

void CVantrelDlg::OnClearLog()
{
    if (AppMessageBox(GetHwnd(), L"Clear the log?", L"Clear Log", MB_OKCANCEL | MB_ICONWARNING) != IDOK) return;
    ClearLogData();
    m_graph.UpdateScrollBar();
    m_graph.Refresh();
}

void CVantrelDlg::OnStoreLog()
{
    const std::wstring path = AskSavePath(
        GetHwnd(), {L"TEXT Files (*.txt)\0*.txt\0\0", L"txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kPathChars});
    if (!path.empty()) StoreLogToPath(path);
}

bool CVantrelDlg::StoreLogToPath(const std::wstring& path)
{
    const LogStoreResult result = m_logView.Store(path);
    if (result.status != LogFileStatus::Ok) {
        // A file that could not be created, or that lost lines on the way to
        // the disk, must not pass for a stored log.
        AppMessageBox(GetHwnd(), kStoreFileError, L"error", MB_OK | MB_ICONWARNING);
        return false;
    }
    // Stored, but not every row as shown: never changed silently.
    const std::wstring notice = ReplacedRowsNotice(result);
    if (!notice.empty()) AppMessageBox(GetHwnd(), notice, L"Store log", MB_OK | MB_ICONWARNING);
    return true;
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
    const CLogView::LoadResult result = m_logView.Load(path, [this] {
        return AppMessageBox(GetHwnd(), L"Load LogFile.\nClear Current Logdata?", AppName(), MB_YESNO) == IDYES;
    });
    switch (result) {
    case CLogView::LoadResult::Loaded:
        ShowLoadedLog();
        return true;
    case CLogView::LoadResult::Declined:
        return false;
    case CLogView::LoadResult::CannotOpen:
    case CLogView::LoadResult::Unreadable:
        break;
    }
    AppMessageBox(GetHwnd(), kOpenFileError, L"error", MB_OK | MB_ICONWARNING);
    return false;
}

void CVantrelDlg::ShowLoadedLog()
{
    m_graph.ResetView();
    m_graph.PlaceCursorPastOldest();
    m_graph.UpdateScrollBar();
    m_graph.Refresh();
}
