// The log view's journal: opened at start-up, fed every row the log list
// gains. A journal that cannot be written never stops the tool: it says so
// once, as a message row.
#include "log/LogView_win.h"

#include "log/AnsiCodec_win.h"
#include "log/LogTime.h"

namespace {
// A path as a message row names it. The folder holds the user's name, which
// the ANSI code page may lack; the row must store as it is, so the part
// below LOCALAPPDATA is then named by the variable.
std::wstring ShownPath(const std::wstring& path)
{
    std::string bytes;
    if (AnsiLogTextCodec().toBytes(path.data(), path.size(), bytes)) return path;
    wchar_t base[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (n > 0 && n < MAX_PATH && path.compare(0, n, base, n) == 0) return L"%LOCALAPPDATA%" + path.substr(n);
    return path;
}
} // namespace

void CLogView::StartJournal()
{
    const std::wstring folder = CJournal::DefaultFolder();
    if (!m_journal.Start(folder, LocalTimeNow()) && !m_journalFailureShown) {
        m_journalFailureShown = true;
        AddMessageRow(L"<Journal cannot be written: " + (folder.empty() ? std::wstring(L"no LOCALAPPDATA") : ShownPath(folder)) + L">");
    }
}

void CLogView::JournalLastRow()
{
    if (!m_journal.IsOpen() || m_log.RowCount() == 0) return;
    if (!m_journal.AppendRow(m_log, m_log.RowCount() - 1) && !m_journalFailureShown) {
        m_journalFailureShown = true;
        AddMessageRow(L"<Journal write failed: " + ShownPath(m_journal.Path()) + L">");
    }
}
