#pragma once
// The measurement journal: every row shown in the log list is also appended,
// as a log-file line, to a file of the current run, flushed to the disk at
// once so that a crash or power cut loses nothing already shown.
#include <string>

#include "fw/Handle_win.h"
#include "log/LogStore.h"

class CJournal {
public:
    CJournal() = default;
    CJournal(const CJournal&) = delete;
    CJournal& operator=(const CJournal&) = delete;

    // Opens a new journal file for this run under `folder` (created when
    // missing), after removing the oldest runs. False when it cannot.
    bool Start(const std::wstring& folder, const LogTime& startTime);
    // Appends row `row` of `log` as one line; false when the write failed or
    // the row's text has no form in the code page (the journal then stops).
    bool AppendRow(const LogStore& log, size_t row);
    bool IsOpen() const { return m_file.IsValid(); }
    const std::wstring& Path() const { return m_path; }

    // %LOCALAPPDATA%\Vantrel\journal
    static std::wstring DefaultFolder();

private:
    CHandle m_file;
    std::wstring m_path;
    std::string m_line;
};
