// What the graph settings dialog reads from its edits. A number text is
// compared with strtod applied to the longest prefix of the documented form
// (the C locale is in force, so "." is the decimal point); the ranges read
// from six texts are stored only as valid pairs, in order, up to the first
// invalid one; a shown range value reads back to the same text.
#include <cmath>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "graph/GraphSettingsRules.h"

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// [blanks] [sign] digits [. digits] [e [sign] digits], at least one digit
// in the mantissa; the exponent only counts with a digit.
double ReferenceEditNumber(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) {
        ++i;
    }
    std::string number;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        number.push_back(static_cast<char>(text[i++]));
    }
    size_t mantissaDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        number.push_back(static_cast<char>(text[i++]));
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == L'.') {
        size_t j = i + 1;
        std::string fraction;
        while (j < text.size() && IsDigit(text[j])) {
            fraction.push_back(static_cast<char>(text[j++]));
        }
        if (mantissaDigits > 0 || !fraction.empty()) {
            number += "." + fraction;
            mantissaDigits += fraction.size();
            i = j;
        }
    }
    if (mantissaDigits == 0) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) {
            exponent.push_back(static_cast<char>(text[j++]));
        }
        const size_t firstDigit = j;
        while (j < text.size() && IsDigit(text[j])) {
            exponent.push_back(static_cast<char>(text[j++]));
        }
        if (j > firstDigit) {
            number += exponent;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::wstring texts[2][kEditableRangeCount];
    for (auto& side : texts) {
        for (std::wstring& text : side) {
            text = FuzzWideText(input.ConsumeRandomLengthString(64));
        }
    }
    const std::wstring free = FuzzWideText(input.ConsumeRandomLengthString(2000));

    // -0 and +0 compare equal: the dialog shows both as 0.
    const double value = ParseEditNumber(free);
    const double want = ReferenceEditNumber(free);
    FUZZ_CHECK(value == want || (std::isnan(value) && std::isnan(want)));
    FUZZ_CHECK(!std::isnan(value));

    CGraphInfo info;
    const CGraphInfo before = info;
    const int32_t refused = ReadGraphRanges(info, texts[0], texts[1]);
    FUZZ_CHECK(refused >= -1 && refused < kEditableRangeCount);
    const int32_t stored = refused < 0 ? kEditableRangeCount : refused;
    for (int32_t kind = 0; kind < kGraphKindCount; ++kind) {
        const GraphRange& r = info.m_range[kind];
        if (kind < stored) {
            FUZZ_CHECK(r.min == ParseEditNumber(texts[0][kind]) && r.max == ParseEditNumber(texts[1][kind]));
            FUZZ_CHECK(std::isfinite(r.min) && std::isfinite(r.max) && std::isfinite(r.max - r.min) && r.max > r.min);
        } else {
            FUZZ_CHECK(r.min == before.m_range[kind].min && r.max == before.m_range[kind].max);
        }
    }
    if (refused >= 0) {
        const double min = ParseEditNumber(texts[0][refused]);
        const double max = ParseEditNumber(texts[1][refused]);
        FUZZ_CHECK(!(std::isfinite(min) && std::isfinite(max) && std::isfinite(max - min) && max > min));
    }

    // A stored value as the edit shows it reads back to the same text.
    for (int32_t kind = 0; kind < kEditableRangeCount; ++kind) {
        for (const double v : {info.m_range[kind].min, info.m_range[kind].max, value}) {
            if (!std::isfinite(v)) {
                continue;
            }
            const std::wstring shown = FormatRangeEditText(kind, v);
            // "-0" reads as 0 and then shows without its sign.
            if (shown == L"-0" || shown == L"-0.0") {
                continue;
            }
            FUZZ_CHECK(FormatRangeEditText(kind, ParseEditNumber(shown)) == shown);
        }
    }

    bool checks[8];
    const int32_t buttons = input.ConsumeIntegralInRange(0, 8);
    int32_t firstChecked = -1;
    for (int32_t i = 0; i < buttons; ++i) {
        checks[i] = input.ConsumeBool();
        if (checks[i] && firstChecked < 0) {
            firstChecked = i;
        }
    }
    const int32_t current = input.ConsumeIntegral<int32_t>();
    FUZZ_CHECK(KindFromChecks(checks, buttons, current) == (firstChecked < 0 ? current : firstChecked));
    return 0;
}
