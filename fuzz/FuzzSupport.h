#pragma once
// Shared by the fuzz targets: the check that stops a run on a broken
// invariant, and how raw input bytes become wide texts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Unlike assert, stays active in release builds; abort() makes libFuzzer
// save the input as a crash.
#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

// One input byte per character. Bytes below 0xE0 stand for themselves (ASCII
// and most of Latin-1); the top 32 byte values stand for characters that
// trip up hand-written text scanners: Unicode blanks, full-width and other
// non-ASCII digits and letters, a lone surrogate, the BOM and U+FFFF.
inline wchar_t FuzzWideChar(uint8_t b)
{
    static const wchar_t kSpecial[32] = {
        0x00A0, 0x3000, 0x2028, 0x2029, 0x0085, 0x1680, 0x2000, 0x200B,
        0xFEFF, 0xFFFF, 0xD800, 0xDC00, 0xFF10, 0xFF19, 0xFF21, 0xFF46,
        0xFF58, 0x0660, 0x0966, 0x00B2, 0x00B9, 0x2103, 0x3042, 0x4E00,
        0x0130, 0x0131, 0x017F, 0x212A, 0xFF0B, 0xFF0D, 0x2212, 0x00E0,
    };
    return b < 0xE0 ? static_cast<wchar_t>(b) : kSpecial[b - 0xE0];
}

inline std::wstring FuzzWideText(const uint8_t* data, size_t size)
{
    std::wstring text;
    text.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        text.push_back(FuzzWideChar(data[i]));
    }
    return text;
}

inline std::wstring FuzzWideText(const std::string& bytes)
{
    return FuzzWideText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

inline bool IsAsciiText(const std::wstring& text)
{
    for (const wchar_t c : text) {
        if (c <= 0 || c >= 0x80) {
            return false;
        }
    }
    return true;
}
