// The log view's journal: opened at start-up, fed every row the log list
// gains. A journal that cannot be written never stops the tool: it says so
// once, as a message row.
#include "log/LogView_win.h"

#include "log/LogTime.h"

void CLogView::StartJournal()
{
    const std::wstring folder = CJournal::DefaultFolder();
    if (!m_journal.Start(folder, LocalTimeNow()) && !m_journalFailureShown) {
        m_journalFailureShown = true;
        AddMessageRow(L"<Journal cannot be written: " + (folder.empty() ? std::wstring(L"no LOCALAPPDATA") : folder) + L">");
    }
}

void CLogView::JournalLastRow()
{
    if (!m_journal.IsOpen() || m_log.RowCount() == 0) return;
    if (!m_journal.AppendRow(m_log, m_log.RowCount() - 1) && !m_journalFailureShown) {
        m_journalFailureShown = true;
        AddMessageRow(L"<Journal write failed: " + m_journal.Path() + L">");
    }
}
