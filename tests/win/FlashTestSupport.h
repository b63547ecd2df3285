#pragma once
// Shared by the flash tests: image files in a temporary folder and a few
// looks at the main window's controls.
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

#include "WinHarness.h"
#include "cli/FlashPatterns.h"

// A folder of its own under the temporary path, removed with its files.
class CTempFolder {
public:
    CTempFolder()
    {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        m_path = std::wstring(base) + L"vantrel-flash-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++Counter());
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CTempFolder()
    {
        for (const std::wstring& f : m_files) DeleteFileW(f.c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    // Writes the bytes as they are (no line-end translation).
    std::wstring Write(const std::wstring& name, const std::string& bytes)
    {
        const std::wstring path = m_path + L"\\" + name;
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD put = 0;
        if (f != INVALID_HANDLE_VALUE) {
            WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
            CloseHandle(f);
        }
        m_files.push_back(path);
        return path;
    }
    const std::wstring& Path() const { return m_path; }

private:
    static int& Counter()
    {
        static int n = 0;
        return n;
    }
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

inline std::string ControlText(HWND dialog, int id)
{
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 512);
    return Utf8(text);
}

inline bool ControlEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

inline void ClickButton(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Enabled state of the nine buttons the enable states govern, in the order
// Communicate, Start, Stop, Clear log, Store log, Read word, Write word,
// Open file, Flash write.
inline std::string ButtonStates(HWND dialog)
{
    static const int ids[] = {1009, 1000, 1001, 1006, 1007, 1034, 1035, 1040, 1041};
    std::string states;
    for (int id : ids) states += ControlEnabled(dialog, id) ? '1' : '0';
    return states;
}
