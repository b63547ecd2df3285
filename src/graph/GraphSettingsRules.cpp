#include "graph/GraphSettingsRules.h"

#include <cmath>
#include <string>

#include "log/TextNumbers.h"

double ParseEditNumber(const std::wstring& text)
{
    // Only ASCII forms a number; any other character ends it (an ideographic
    // space is not skipped, a full-width digit is no digit).
    std::string narrow(text.size(), '\x7f');
    for (size_t i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned long>(text[i]) < 0x80) {
            narrow[i] = static_cast<char>(text[i]);
        }
    }
    return ParseDouble(narrow.data(), narrow.data() + narrow.size());
}

std::wstring FormatRangeEditText(int32_t kind, double value)
{
    return FormatGraphValue(kind, value);
}

int32_t KindFromChecks(const bool* checked, int32_t buttonCount, int32_t current)
{
    for (int32_t i = 0; i < buttonCount; ++i) {
        if (checked[i]) {
            return i;
        }
    }
    return current;
}

int32_t ReadGraphRanges(CGraphInfo& info, const std::wstring (&minTexts)[kEditableRangeCount],
                        const std::wstring (&maxTexts)[kEditableRangeCount])
{
    for (int32_t kind = 0; kind < kEditableRangeCount; ++kind) {
        const double min = ParseEditNumber(minTexts[kind]);
        const double max = ParseEditNumber(maxTexts[kind]);
        // An infinite bound or span would flatten the graph to one line.
        const bool usable = std::isfinite(min) && std::isfinite(max) && std::isfinite(max - min);
        if (!usable || !(max > min)) {
            return kind;
        }
        info.m_range[kind].min = min;
        info.m_range[kind].max = max;
    }
    return -1;
}

const wchar_t* GraphRangeErrorText(double min, double max)
{
    if (!std::isfinite(min) || !std::isfinite(max)) {
        return kGraphRangeNotFiniteText;
    }
    if (!(max > min)) {
        return kGraphRangeErrorText;
    }
    return kGraphRangeTooWideText;
}
