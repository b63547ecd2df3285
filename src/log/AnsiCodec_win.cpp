#include "log/AnsiCodec_win.h"

#include <climits>
#include <windows.h>

namespace {
void AnsiToWide(const char* bytes, size_t n, std::wstring& out)
{
    out.clear();
    if (n == 0 || n > INT_MAX) return;
    const int len = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(n), nullptr, 0);
    if (len <= 0) return;
    out.resize(static_cast<size_t>(len));
    MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(n), &out[0], len);
}

bool WideToAnsi(const wchar_t* text, size_t n, std::string& out)
{
    if (n == 0) return true;
    if (n > INT_MAX) return false;
    BOOL usedDefault = FALSE;
    const int len = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(n), nullptr, 0, nullptr,
                                        &usedDefault);
    if (len <= 0) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(len));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(n), &out[at], len, nullptr, &usedDefault);
    // A character the code page cannot hold still goes out as '?': a message
    // row is never dropped from a file for one character.
    return true;
}

const LogTextCodec kAnsi = {&AnsiToWide, &WideToAnsi};
}

const LogTextCodec& AnsiLogTextCodec()
{
    return kAnsi;
}
