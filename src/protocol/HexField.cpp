#include "protocol/HexField.h"

namespace {

// The C locale's white space; the conversion skips nothing else.
bool IsSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

}  // namespace

uint32_t HexFieldValue(std::wstring_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // "0x" counts as a prefix only when a digit follows; otherwise the "0"
    // alone is the number (the result is 0 either way).
    if (i + 2 < n && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X') &&
        HexDigit(text[i + 2]) >= 0) {
        i += 2;
    }
    uint64_t value = 0;
    bool overflow = false;
    for (; i < n; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0) {
            break;
        }
        if (!overflow) {
            value = value * 16 + static_cast<uint64_t>(digit);
            overflow = value > 0xFFFFFFFFu;
        }
    }
    if (overflow) {
        return 0xFFFFFFFFu;
    }
    const uint32_t result = static_cast<uint32_t>(value);
    return negative ? static_cast<uint32_t>(0u - result) : result;
}

uint8_t HexFieldCommand(std::wstring_view text)
{
    return static_cast<uint8_t>(HexFieldValue(text) & 0xFF);
}

uint16_t HexFieldData(std::wstring_view text)
{
    return static_cast<uint16_t>(HexFieldValue(text) & 0xFFFF);
}
