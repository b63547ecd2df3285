#pragma once
// A simulated sub board on its own pipe, named to the tool through the device
// environment variable, and a main window that tests can look inside.
#include <cstddef>
#include <string>
#include <vector>
#include <windows.h>
#include <dbt.h>

#include "app/VantrelDlg_win.h"
#include "link/SubBoardLink_win.h"
#include "sim/PipeServer_win.h"
#include "sim/SimBoard.h"
#include "WinHarness.h"

// Sets the device list for its lifetime; the previous value comes back after.
class DeviceListScope {
public:
    explicit DeviceListScope(const std::wstring& paths)
    {
        wchar_t old[2048];
        const DWORD n = GetEnvironmentVariableW(kDeviceEnvironmentVariable, old, 2048);
        m_hadOld = n > 0 && n < 2048;
        if (m_hadOld) m_old.assign(old, n);
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, paths.c_str());
    }
    ~DeviceListScope()
    {
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, m_hadOld ? m_old.c_str() : nullptr);
    }
    DeviceListScope(const DeviceListScope&) = delete;
    DeviceListScope& operator=(const DeviceListScope&) = delete;

private:
    bool m_hadOld = false;
    std::wstring m_old;
};

// The board and its pipe. Not started: call server.Start() to plug it in.
struct SimulatedBoard {
    explicit SimulatedBoard(const wchar_t* suffix) : server(board, suffix) {}
    CSimBoard board;
    CPipeServer server;
};

// The main window with the members the tests need to see.
class ProbeDlg : public CVantrelDlg {
public:
    using CVantrelDlg::CVantrelDlg;
    uint32_t ReceiveIntervalMs() const { return Board().ReceiveIntervalMs(); }
};

// Creates the window modeless for the test's lifetime.
class OpenWindow {
public:
    explicit OpenWindow(const std::wstring& commandLine = L"") : dlg(commandLine)
    {
        created = dlg.Create(nullptr);
        PumpMessages(20);
    }
    ~OpenWindow() { dlg.DestroyWindow(); }
    OpenWindow(const OpenWindow&) = delete;
    OpenWindow& operator=(const OpenWindow&) = delete;

    HWND Hwnd() const { return dlg.GetHwnd(); }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dlg.GetHwnd(), id)) != FALSE; }
    void Click(int id) { SendMessageW(dlg.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    ProbeDlg dlg;
    bool created = false;
};

// WM_DEVICECHANGE as the platform sends it for an interface of the HID class.
inline void SendInterfaceEvent(HWND window, UINT event, const std::wstring& path)
{
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (path.size() + 1) * sizeof(wchar_t);
    std::vector<DWORD> storage((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(storage.data());
    record->dbcc_size = static_cast<DWORD>(size);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_classguid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    path.copy(record->dbcc_name, path.size());
    record->dbcc_name[path.size()] = 0;
    SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record));
}

// WM_DEVICECHANGE about an open handle (the orderly removal).
inline void SendHandleEvent(HWND window, UINT event, HANDLE device)
{
    DEV_BROADCAST_HANDLE record{};
    record.dbch_size = sizeof(record);
    record.dbch_devicetype = DBT_DEVTYP_HANDLE;
    record.dbch_handle = device;
    SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&record));
}

// Deletes the settings file beside the executable before and after a test.
class SettingsFileScope {
public:
    SettingsFileScope() : path(BesideExe(L"Vantrel.ini")) { DeleteFileW(path.c_str()); }
    ~SettingsFileScope() { DeleteFileW(path.c_str()); }
    SettingsFileScope(const SettingsFileScope&) = delete;
    SettingsFileScope& operator=(const SettingsFileScope&) = delete;
    std::wstring path;
};
