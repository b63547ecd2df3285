#pragma once
// Helpers for driving real windows in-process under Wine: a message pump,
// a recorder that answers message boxes, and UTF-8 text for test output.
#include <functional>
#include <string>
#include <vector>
#include <windows.h>

#include "fw/MessageBox_win.h"

// Runs the thread's message queue for about `ms` milliseconds.
inline void PumpMessages(DWORD ms = 50)
{
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

// Pumps until `done` holds or `ms` have passed; returns whether it held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000)
{
    const DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return done();
        PumpMessages(10);
    }
    return true;
}

struct RecordedBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// Replaces every message box while it lives: records it and answers with
// the next queued answer (IDOK when none is queued).
class MessageBoxRecorder {
public:
    MessageBoxRecorder()
    {
        SetMessageBoxInterceptor([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
            boxes.push_back({text, caption, type});
            if (answers.empty()) return IDOK;
            int a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxInterceptor(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<RecordedBox> boxes;
    std::vector<int> answers;
};

inline std::string Utf8(const std::wstring& w)
{
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// Path of a file beside the test executable.
inline std::wstring BesideExe(const std::wstring& name)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}
