#pragma once
// What the graph settings dialog reads from and writes to its controls, as
// functions of texts and check states.
#include <cstdint>
#include <string>

#include "graph/GraphInfo.h"

// Shown when a range is refused.
constexpr const wchar_t kGraphRangeErrorText[] = L"Please set [Min value] < [Max value]";

// Number of series whose range can be edited: RSOC, Temp and Volt.
constexpr int kEditableRangeCount = 3;

// The value of an edit text: leading white space skipped, then the longest
// prefix of the form [sign] digits [. digits] [e [sign] digits] (at least one
// digit before the exponent); 0 when there is none. A prefix too large for a
// double reads as +-infinity, one too small as 0. Independent of the locale.
double ParseEditNumber(const std::wstring& text);

// Edit text of a range value: Temp with one decimal, the others without.
std::wstring FormatRangeEditText(int32_t kind, double value);

// Kind chosen by a column of radio buttons: the index of the first checked
// one, or current when none is checked.
int32_t KindFromChecks(const bool* checked, int32_t buttonCount, int32_t current);

// Reads the min and max texts of RSOC, Temp and Volt, in that order, into
// info. A pair is stored only when both values are finite, max > min and
// max - min is finite; the first pair that is not stops the reading and its
// kind is returned. Pairs before it stay stored. Returns -1 when all three
// were stored.
int32_t ReadGraphRanges(CGraphInfo& info, const std::wstring (&minTexts)[kEditableRangeCount],
                        const std::wstring (&maxTexts)[kEditableRangeCount]);
