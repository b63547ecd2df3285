#pragma once
// What the graph settings dialog reads from and writes to its controls, as
// functions of texts and check states.
#include <cstdint>
#include <string>

#include "graph/GraphInfo.h"

// Shown when a range is refused: for a pair that is not min < max, for a
// bound that is not a finite number, and for a span too large for a double.
constexpr const wchar_t kGraphRangeErrorText[] = L"Please set [Min value] < [Max value]";
constexpr const wchar_t kGraphRangeNotFiniteText[] = L"Please set [Min value] and [Max value] to finite numbers";
constexpr const wchar_t kGraphRangeTooWideText[] = L"Please set [Min value] and [Max value] closer together";

// Number of series whose range can be edited: RSOC, Temp and Volt.
constexpr int kEditableRangeCount = 3;

// The value of an edit text as the C runtime's wcstod reads it, whatever the
// locale: leading white space skipped, then the longest prefix that forms a
// decimal or hexadecimal ("0x64") number, "inf", "infinity" or "nan"; 0 when
// there is none. A prefix too large for a double reads as +-infinity.
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

// The message for a refused pair, true for that pair: a bound that is not a
// finite number, else max <= min, else a span beyond the double range.
const wchar_t* GraphRangeErrorText(double min, double max);
