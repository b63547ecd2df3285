#pragma once
// Texts of the three readout boxes under the graph for the cursor record.
#include <cstdint>
#include <string>

#include "graph/GraphInfo.h"

struct CursorTarget {
    int32_t offset = 0;  // the requested count back, limited to the newest..oldest record
    int64_t index = -1;  // record index, -1 when there is no such record
};

// A pick or a re-show asks for the record `requested` steps back from the
// newest of recordCount records. A request beyond the oldest record takes the
// oldest one; with no records, or a negative request, there is none.
CursorTarget ResolveCursorTarget(int64_t recordCount, int64_t requested);

// Box of date and time: "%4d/%02d/%02d %02d:%02d:%02d" (year padded with
// blanks).
std::wstring CursorDateTimeText(int year, int month, int day, int hour, int minute, int second);
// The same box without a record: a single blank.
std::wstring CursorDateTimeTextNone();

// Two lines for a graph box: the kind's name, then the value with its unit,
// or "Standby" for a standby record and for the marker value -90000. Empty for
// kind None.
std::wstring CursorValueText(int32_t kind, const GraphSample& sample);
