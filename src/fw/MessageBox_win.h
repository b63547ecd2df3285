#pragma once
// Every message box of the program goes through here, so that tests can
// record what would have been shown and answer it.
#include <functional>
#include <string>
#include <windows.h>

int AppMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

// The application's name: the executable's file name without its extension.
// Captions message boxes that have no title of their own.
std::wstring AppName();

using MessageBoxInterceptor =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;

// Installs (or, with an empty function, removes) a replacement for the real
// message box. Meant for tests.
void SetMessageBoxInterceptor(MessageBoxInterceptor interceptor);
