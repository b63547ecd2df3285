#include "app/RunMode.h"

namespace {
bool EqualsAsciiNoCase(const std::wstring& a, const wchar_t* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return i == a.size() && b[i] == 0;
}
}

int ChooseDemoMode(const std::wstring& commandLine, bool shiftDown, bool ctrlDown)
{
    if (EqualsAsciiNoCase(commandLine, L"-demo1")) return kDemoMode1;
    if (EqualsAsciiNoCase(commandLine, L"-demo2")) return kDemoMode2;
    if (shiftDown) return ctrlDown ? kDemoMode2 : kDemoMode1;
    return kNormalMode;
}
