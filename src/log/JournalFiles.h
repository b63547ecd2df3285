#pragma once
// Names of the measurement journal's files (one per run, named by the run's
// start) and which old ones to remove so that only the newest runs stay.
#include <cstddef>
#include <string>
#include <vector>

#include "log/LogTime.h"

// How many runs the journal keeps, the current one included.
constexpr std::size_t kJournalRunsKept = 30;

// "Vantrel_YYYYMMDD_HHMMSS.txt" for the run's start; `attempt` > 0 appends
// "_<attempt>" for a second run started within the same second.
std::wstring JournalFileName(const LogTime& start, int attempt = 0);

// True for names this journal made (anything else in the folder is left alone).
bool IsJournalFileName(const std::wstring& name);

// Of the journal files in `names`, the ones to remove before a new run
// starts so that `keep` runs remain with the new one: the oldest first.
// Names sort by time because their digits are fixed-width.
std::vector<std::wstring> JournalFilesToRemove(std::vector<std::wstring> names, std::size_t keep = kJournalRunsKept);
