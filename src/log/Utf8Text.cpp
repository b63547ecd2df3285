#include "log/Utf8Text.h"

#include <cstdint>

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

void Append(std::string& out, uint32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendWide(std::wstring& out, uint32_t c)
{
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

} // namespace

std::string Utf8FromWide(const std::wstring& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = static_cast<uint32_t>(text[i]);
        // A surrogate pair where wchar_t is 16 bits; a lone half is replaced.
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const uint32_t low = static_cast<uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        Append(out, c);
    }
    return out;
}

std::wstring WideFromUtf8(const std::string& text)
{
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        size_t length = 0;
        uint32_t c = 0;
        uint32_t least = 0;
        if (lead < 0x80) { length = 1; c = lead; }
        else if ((lead & 0xE0) == 0xC0) { length = 2; c = lead & 0x1F; least = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { length = 3; c = lead & 0x0F; least = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { length = 4; c = lead & 0x07; least = 0x10000; }
        size_t k = 1;
        while (length > 1 && k < length && i + k < text.size() && (static_cast<uint8_t>(text[i + k]) & 0xC0) == 0x80) {
            c = (c << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
            ++k;
        }
        if (length == 0 || k < length || c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            // One replacement per bad lead byte and the continuation bytes it took.
            AppendWide(out, kReplacement);
            i += length == 0 ? 1 : k;
            continue;
        }
        AppendWide(out, c);
        i += length;
    }
    return out;
}
