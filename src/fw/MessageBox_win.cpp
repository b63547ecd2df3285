#include "fw/MessageBox_win.h"

namespace {
MessageBoxInterceptor& Interceptor()
{
    static MessageBoxInterceptor interceptor;
    return interceptor;
}
}

int AppMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    if (Interceptor()) return Interceptor()(owner, text, caption, type);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void SetMessageBoxInterceptor(MessageBoxInterceptor interceptor)
{
    Interceptor() = std::move(interceptor);
}

std::wstring AppName()
{
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, n);
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}
