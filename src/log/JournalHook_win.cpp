// The main window's journal: opened at start-up, fed every row the log list
// gains. A journal that cannot be written never stops the tool: it says so
// once, as a message row.
#include "app/VantrelDlg_win.h"

#include "log/LogTime.h"

void CVantrelDlg::StartJournal()
{
    const std::wstring folder = CJournal::DefaultFolder();
    if (!m_journal.Start(folder, LocalTimeNow()) && !m_journalFailureShown) {
        m_journalFailureShown = true;
        AddMessageRow(L"<Journal cannot be written: " + (folder.empty() ? std::wstring(L"no LOCALAPPDATA") : folder) + L">");
    }
}

void CVantrelDlg::JournalLastRow()
{
    if (!m_journal.IsOpen() || m_logData.RowCount() == 0) return;
    if (!m_journal.AppendRow(m_logData, m_logData.RowCount() - 1) && !m_journalFailureShown) {
        m_journalFailureShown = true;
        AddMessageRow(L"<Journal write failed: " + m_journal.Path() + L">");
    }
}
