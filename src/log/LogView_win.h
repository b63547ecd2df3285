#pragma once
// The log view of the main window: the log's records and rows, the virtual
// log list (control 1008) that shows them, the measurement journal fed with
// every new row, and storing and loading log files. User interface thread
// only; the message boxes are the window's.
#include <cstdint>
#include <functional>
#include <string>
#include <windows.h>
#include <commctrl.h>

#include "log/Journal_win.h"
#include "log/LogFile.h"
#include "log/LogStore.h"

class CLogView {
public:
    CLogView() = default;
    CLogView(const CLogView&) = delete;
    CLogView& operator=(const CLogView&) = delete;

    // window: the main window holding the list control.
    void Attach(HWND window) { m_window = window; }
    const LogStore& Log() const { return m_log; }
    const CJournal& Journal() const { return m_journal; }

    // Opens the run's journal; a journal that cannot be written says so
    // once, as a message row, and never stops the tool.
    void StartJournal();

    // The list's look and its six columns, fitted to its width.
    void CreateColumns(double dpiScaleX);
    // After the list's width changed.
    void FitColumns(double dpiScaleX);

    // Appends a measurement record with its row (the record's rowIndex must
    // be the row it gets); the list follows the new row.
    void AddMeasurementRow(const tagLOGDATA& record);
    // Appends a message row stamped with the current local time, or with
    // the given stamp.
    void AddMessageRow(const std::wstring& text);
    void AddMessageRow(const std::wstring& text, const LogTime& stamp);
    // Row index the next row gets.
    int32_t NextRowIndex() const { return static_cast<int32_t>(m_log.RowCount()); }
    void Clear();

    // The list's owner-data notifications.
    LRESULT OnGetDispInfo(NMLVDISPINFOW* info);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    // Selects, focuses and shows the row of the record; the list gets the focus.
    void SelectRecordRow(int64_t recordIndex);

    // Writes every row to the file; its status is Ok only when the file was
    // written whole (nothing else may pass for a stored log). Message rows the
    // code page cannot hold are stored with replacements the result names.
    LogStoreResult Store(const std::wstring& path);

    enum class LoadResult { Loaded, CannotOpen, Declined, Unreadable };
    // Replaces the log with the file's rows. The file is opened before
    // anything is asked or cleared; mayReplace is asked only when the log
    // holds records. The log stays as it was unless the whole file is read.
    LoadResult Load(const std::wstring& path, const std::function<bool()>& mayReplace);

private:
    HWND List() const { return GetDlgItem(m_window, kListId); }
    void FollowTail();
    void JournalLastRow();
    static constexpr int kListId = 1008;

    HWND m_window = nullptr;
    LogStore m_log;
    CJournal m_journal;
    bool m_journalFailureShown = false;
};
