#include "log/AnsiCodec_win.h"

#include <climits>
#include <windows.h>

#include "log/CodePageMode.h"

namespace {
void ToWide(UINT codePage, const char* bytes, size_t n, std::wstring& out)
{
    out.clear();
    if (n == 0 || n > INT_MAX) return;
    const int len = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(n), nullptr, 0);
    if (len <= 0) return;
    out.resize(static_cast<size_t>(len));
    MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(n), &out[0], len);
}

// A character the code page cannot hold fails the conversion: written as
// '?' it would make the file differ from the log while the store says it
// succeeded.
bool ToBytes(UINT codePage, const wchar_t* text, size_t n, std::string& out)
{
    if (n == 0) return true;
    if (n > INT_MAX) return false;
    const WideToCodePageMode mode = WideToCodePageModeFor(codePage);
    const DWORD flags = (mode.noBestFit ? WC_NO_BEST_FIT_CHARS : 0) | (mode.failOnInvalid ? WC_ERR_INVALID_CHARS : 0);
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = mode.checkUsedDefault ? &usedDefault : nullptr;
    const int wide = static_cast<int>(n);
    const int len = WideCharToMultiByte(codePage, flags, text, wide, nullptr, 0, nullptr, usedDefaultOut);
    if (len <= 0 || usedDefault) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(len));
    if (WideCharToMultiByte(codePage, flags, text, wide, &out[at], len, nullptr, usedDefaultOut) != len || usedDefault) {
        out.resize(at);
        return false;
    }
    if (mode.checkRoundTrip) {
        std::wstring back;
        ToWide(codePage, &out[at], static_cast<size_t>(len), back);
        if (back.compare(0, std::wstring::npos, text, n) != 0) {
            out.resize(at);
            return false;
        }
    }
    return true;
}
}

LogTextCodec AnsiLogTextCodec()
{
    return AnsiLogTextCodec(GetACP());
}

LogTextCodec AnsiLogTextCodec(unsigned codePage)
{
    return LogTextCodec{
        [codePage](const char* bytes, size_t n, std::wstring& out) { ToWide(codePage, bytes, n, out); },
        [codePage](const wchar_t* text, size_t n, std::string& out) { return ToBytes(codePage, text, n, out); }};
}
