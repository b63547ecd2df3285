#pragma once
// A deliberately plain model of wcstoul(text, nullptr, 16) with a 32-bit
// unsigned long, written independently of the product's conversion so the
// two can be compared: it keeps the digit text and judges overflow by its
// length instead of accumulating.
#include <cstdint>
#include <string>

inline int ReferenceHexDigit(wchar_t c)
{
    static const wchar_t kLower[] = L"0123456789abcdef";
    static const wchar_t kUpper[] = L"0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        if (c == kLower[i] || c == kUpper[i]) {
            return i;
        }
    }
    return -1;
}

inline uint32_t ReferenceHexValue(const std::wstring& text)
{
    const std::wstring blanks = L" \t\n\v\f\r";
    size_t i = text.find_first_not_of(blanks);
    if (i == std::wstring::npos) {
        return 0;
    }
    bool negative = false;
    if (text[i] == L'+' || text[i] == L'-') {
        negative = text[i] == L'-';
        ++i;
    }
    // "0x" is skipped only when a hex digit follows it.
    if (text.compare(i, 2, L"0x") == 0 || text.compare(i, 2, L"0X") == 0) {
        if (i + 2 < text.size() && ReferenceHexDigit(text[i + 2]) >= 0) {
            i += 2;
        }
    }
    std::wstring digits;
    while (i < text.size() && ReferenceHexDigit(text[i]) >= 0) {
        digits.push_back(text[i++]);
    }
    const size_t firstSignificant = digits.find_first_not_of(L'0');
    if (firstSignificant == std::wstring::npos) {
        return 0;  // no digits, or only zeros
    }
    const std::wstring significant = digits.substr(firstSignificant);
    if (significant.size() > 8) {
        return 0xFFFFFFFFu;  // out of range whatever the sign
    }
    uint32_t value = 0;
    for (const wchar_t c : significant) {
        value = (value << 4) | static_cast<uint32_t>(ReferenceHexDigit(c));
    }
    return negative ? 0u - value : value;
}
