#pragma once
// Shared by the log-file and demo tests: the main window with its log and
// graph state in reach, a scratch folder, and a look at the log list.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

#include "app/VantrelDlg_win.h"
#include "link/SubBoardLink_win.h"
#include "resource.h"
#include "WinHarness.h"

class LogFileDlg : public CVantrelDlg {
public:
    using CVantrelDlg::CVantrelDlg;
};

// The main window, modeless, destroyed at the end of the scope.
class LogWindow {
public:
    explicit LogWindow(const std::wstring& commandLine = L"") : dlg(commandLine)
    {
        created = dlg.Create(nullptr);
        PumpMessages(30);
    }
    ~LogWindow() { dlg.DestroyWindow(); }
    LogWindow(const LogWindow&) = delete;
    LogWindow& operator=(const LogWindow&) = delete;

    HWND Wnd() const { return dlg.GetHwnd(); }
    HWND List() const { return GetDlgItem(dlg.GetHwnd(), IDC_LOG_LIST); }
    int ItemCount() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    // A cell as the list shows it (asked the way the list asks).
    std::string Cell(int row, int column) const
    {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return Utf8(text);
    }
    // The six cells of a row joined by "|".
    std::string Row(int row) const
    {
        std::string joined;
        for (int c = 0; c < 6; ++c) joined += (c ? "|" : "") + Cell(row, c);
        return joined;
    }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < ItemCount(); ++i) rows.push_back(Row(i));
        return rows;
    }
    // True when the row lies wholly or partly inside the list's client area.
    bool RowInView(int row) const
    {
        RECT item{LVIR_BOUNDS, 0, 0, 0};
        if (!SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)))
            return false;
        RECT client{};
        GetClientRect(List(), &client);
        return item.bottom > client.top && item.top < client.bottom;
    }
    std::string Text(int id) const { return Utf8(dlg.ItemText(id)); }
    void Click(int id) { SendMessageW(Wnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    LogFileDlg dlg;
    bool created = false;
};

inline tagLOGDATA Measurement(int16_t second, int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r{};
    r.year = 2019;
    r.month = 1;
    r.day = 18;
    r.hour = 9;
    r.minute = 5;
    r.second = second;
    r.rsoc = rsoc;
    r.temperature = temperature;
    r.voltage = voltage;
    return r;
}

// A folder of its own under the temporary path, removed with whatever the
// test left in it.
class CScratchFolder {
public:
    CScratchFolder()
    {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        m_path = std::wstring(base) + L"vantrel-log-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CScratchFolder()
    {
        WIN32_FIND_DATAW found{};
        HANDLE find = FindFirstFileW((m_path + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((m_path + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(m_path.c_str());
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// Writes the bytes as they are (no line-end translation).
inline bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(f);
    return ok && put == bytes.size();
}

// The whole file, or "<missing>".
inline std::string ReadBytes(const std::wstring& path)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(f);
    return bytes;
}
