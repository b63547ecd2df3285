#pragma once
// Shared by the measuring tests: the main window with its state in reach, a
// settings file written before it opens, and looks at the log list.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

#include "app/VantrelDlg_win.h"
#include "link/SubBoardLink_win.h"
#include "resource.h"
#include "WinHarness.h"

// The main window with the members the tests look at made public.
class MeasureDlg : public CVantrelDlg {
public:
    using CVantrelDlg::CVantrelDlg;
};

// Creates the main window modeless and destroys it at the end of the scope.
class MainWindow {
public:
    explicit MainWindow(const std::wstring& commandLine = L"") : dlg(commandLine)
    {
        created = dlg.Create(nullptr);
        PumpMessages(30);
    }
    ~MainWindow() { dlg.DestroyWindow(); }
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Wnd() const { return dlg.GetHwnd(); }
    HWND List() const { return GetDlgItem(dlg.GetHwnd(), IDC_LOG_LIST); }
    int ItemCount() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    // The text the list shows in one cell, asked the way the list asks.
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
    std::string Text(int id) const { return Utf8(dlg.ItemText(id)); }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dlg.GetHwnd(), id)) != FALSE; }
    void Click(int id) { SendMessageW(Wnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    MeasureDlg dlg;
    bool created = false;
};

// The enable state of the command buttons, in a fixed order.
struct ButtonStates {
    static constexpr int kIds[] = {IDC_COMMUNICATE, IDC_START_MEASURE, IDC_STOP_MEASURE, IDC_CLEAR_LOG, IDC_STORE_LOG,
                                   IDC_READ_WORD,   IDC_WRITE_WORD,    IDC_OPEN_FILE,    IDC_FLASH_WRITE};
    explicit ButtonStates(const MainWindow& w)
    {
        for (int id : kIds) on.push_back(w.Enabled(id));
    }
    bool operator==(const ButtonStates& other) const { return on == other.on; }
    std::vector<bool> on;
};

// A report payload: the given bytes, then zeros.
inline std::array<uint8_t, kPayloadSize> Payload(std::initializer_list<uint8_t> bytes)
{
    std::array<uint8_t, kPayloadSize> p{};
    size_t i = 0;
    for (uint8_t b : bytes) p[i++] = b;
    return p;
}

// Every measuring test starts without a settings file and without a listed
// board, and leaves neither behind.
class MeasureTest : public testing::Test {
protected:
    void SetUp() override
    {
        ini = BesideExe(L"Vantrel.ini");
        DeleteFileW(ini.c_str());
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, nullptr);
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, nullptr);
        DeleteFileW(ini.c_str());
    }
    // Settings the window reads when it opens.
    void WriteSettings(const char* text)
    {
        HANDLE f = CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD put = 0;
        WriteFile(f, text, static_cast<DWORD>(strlen(text)), &put, nullptr);
        CloseHandle(f);
    }
    std::wstring ini;
};
