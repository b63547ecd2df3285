// What the graph settings dialog reads from its edits. A number text is
// compared with strtod (the C locale is in force, so "." is the decimal
// point); the ranges read from six texts are stored only as valid pairs, in
// order, up to the first invalid one, whose message says what is wrong with
// it; a shown range value reads back to the same text.
#include <cmath>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "graph/GraphSettingsRules.h"

namespace {

// strtod on the text with every character beyond ASCII made one that no
// number contains, so that it ends the number there.
double ReferenceEditNumber(const std::wstring& text)
{
    std::string narrow;
    for (const wchar_t c : text) {
        const auto code = static_cast<unsigned long>(c);
        if (code == 0) {
            break;
        }
        narrow.push_back(code < 0x80 ? static_cast<char>(code) : '\x7f');
    }
    return std::strtod(narrow.c_str(), nullptr);
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
        // The message names what is wrong with this pair.
        const std::wstring message = GraphRangeErrorText(min, max);
        FUZZ_CHECK(message == kGraphRangeNotFiniteText ? !(std::isfinite(min) && std::isfinite(max))
                   : message == kGraphRangeErrorText ? !(max > min)
                                                     : message == kGraphRangeTooWideText && !std::isfinite(max - min));
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
