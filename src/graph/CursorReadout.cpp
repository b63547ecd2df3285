#include "graph/CursorReadout.h"

#include <cstdio>
#include <limits>

namespace {

std::wstring Widen(const char* text, int length)
{
    if (length <= 0) {
        return std::wstring();
    }
    return std::wstring(text, text + length);
}

}  // namespace

CursorTarget ResolveCursorTarget(int64_t recordCount, int64_t requested)
{
    const int64_t count = recordCount < 0 ? 0 : recordCount;
    int64_t n = requested;
    if (n >= count) {
        n = count - 1;
    }
    CursorTarget target;
    if (n < std::numeric_limits<int32_t>::min()) {
        n = std::numeric_limits<int32_t>::min();
    }
    // n < count here, and count - 1 - n is only an index when n >= 0.
    target.offset = static_cast<int32_t>(
        n > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : n);
    target.index = (count > 0 && n >= 0) ? count - 1 - n : -1;
    return target;
}

std::wstring CursorDateTimeText(int year, int month, int day, int hour, int minute, int second)
{
    char buffer[96];
    const int n = std::snprintf(buffer, sizeof buffer, "%4d/%02d/%02d %02d:%02d:%02d", year, month, day, hour,
                                minute, second);
    return Widen(buffer, n < static_cast<int>(sizeof buffer) ? n : static_cast<int>(sizeof buffer) - 1);
}

std::wstring CursorDateTimeTextNone()
{
    return L" ";
}

std::wstring CursorValueText(int32_t kind, const GraphSample& sample)
{
    const int32_t k = SanitizeGraphKind(kind);
    if (k == GRAPH_KIND_NONE) {
        return std::wstring();
    }
    const std::wstring name = GraphKindName(k);
    if (k == GRAPH_KIND_RSOC && sample.rsoc == -1) {
        return name + L"\nStandby";
    }
    const double value = GraphValueOf(k, sample);
    if (value == -90000.0) {
        return name + L"\nStandby";
    }
    return name + L"\n" + FormatGraphValue(k, value) + L" " + GraphKindUnit(k);
}
