#include "graph/GraphSettingsRules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

}  // namespace

double ParseEditNumber(const std::wstring& text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i])) {
        ++i;
    }
    std::string number;
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    bool seenSignificant = false;
    size_t digits = 0;
    int64_t integerDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++digits) {
        number.push_back(static_cast<char>(text[i]));
        if (text[i] != L'0' || seenSignificant) {
            seenSignificant = true;
            ++integerDigits;
        }
    }
    int64_t leadingFractionZeros = 0;
    if (i < n && text[i] == L'.') {
        std::string fraction;
        size_t j = i + 1;
        for (; j < n && IsDigit(text[j]); ++j) {
            fraction.push_back(static_cast<char>(text[j]));
            if (!seenSignificant) {
                if (text[j] == L'0') {
                    ++leadingFractionZeros;
                } else {
                    seenSignificant = true;
                }
            }
        }
        if (digits > 0 || !fraction.empty()) {
            number += '.';
            number += fraction;
            digits += fraction.size();
            i = j;
        }
    }
    if (digits == 0 || !seenSignificant) {
        return 0.0;
    }
    // Decimal exponent of the first significant digit, to tell overflow from
    // underflow when the value does not fit.
    int64_t magnitude = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    if (i < n && (text[i] == L'e' || text[i] == L'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == L'+' || text[j] == L'-')) {
            exponent.push_back(static_cast<char>(text[j]));
            ++j;
        }
        const size_t firstExponentDigit = j;
        int64_t exponentValue = 0;
        for (; j < n && IsDigit(text[j]); ++j) {
            exponent.push_back(static_cast<char>(text[j]));
            if (exponentValue < 100000) {
                exponentValue = exponentValue * 10 + (text[j] - L'0');
            }
        }
        if (j > firstExponentDigit) {
            number += exponent;
            magnitude += exponent[1] == '-' ? -exponentValue : exponentValue;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = magnitude < 0 ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
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
