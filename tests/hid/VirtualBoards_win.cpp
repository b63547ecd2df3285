#include "VirtualBoards_win.h"

#include <cstdio>
#include <windows.h>
#include <setupapi.h>
#include <newdev.h>
#include <devguid.h>

namespace VirtualBoards {
namespace {

const wchar_t kHardwareId[] = L"root\\vantrel_virtual_board";
// The System class, as the INF says.
const GUID kSystemClass = {0x4d36e97d, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::wstring Number(unsigned n)
{
    wchar_t text[8];
    std::swprintf(text, 8, L"%04u", n);
    return text;
}

std::wstring Failed(const wchar_t* what)
{
    return std::wstring(what) + L" failed, error " + std::to_wstring(GetLastError());
}

std::wstring BesideProgram(const wchar_t* name)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

class DeviceSet {
public:
    DeviceSet() : m_set(SetupDiCreateDeviceInfoList(&kSystemClass, nullptr)) {}
    ~DeviceSet()
    {
        if (m_set != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(m_set);
    }
    DeviceSet(const DeviceSet&) = delete;
    DeviceSet& operator=(const DeviceSet&) = delete;
    HDEVINFO Get() const { return m_set; }

private:
    HDEVINFO m_set;
};

bool WriteText(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

std::wstring InstanceId(unsigned n) { return L"ROOT\\VID_5E3A&PID_FFFD\\" + Number(n); }
std::wstring HidPath(unsigned n)
{
    return L"\\\\?\\hid#vid_5e3a&pid_fffd#" + Number(n) + L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}
std::wstring PipeName(unsigned n) { return L"vantrel-vboard-" + Number(n); }
std::wstring Serial(unsigned n) { return L"VB" + Number(n); }
std::wstring Product(unsigned n) { return L"Vantrel virtual sub board " + std::to_wstring(n); }

bool Install(std::wstring& error)
{
    // Installing binds the driver to every present board; with none present
    // the INF's files still land in the prefix once a board is plugged.
    const std::wstring inf = BesideProgram(L"vantrel-vboard.inf");
    if (GetFileAttributesW(inf.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = L"no " + inf;
        return false;
    }
    return true;
}

bool Plug(unsigned n, std::wstring& error)
{
    DeviceSet set;
    if (set.Get() == INVALID_HANDLE_VALUE) return error = Failed(L"SetupDiCreateDeviceInfoList"), false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiCreateDeviceInfoW(set.Get(), InstanceId(n).c_str(), &kSystemClass, nullptr, nullptr, 0, &device))
        return error = Failed(L"SetupDiCreateDeviceInfoW"), false;
    static const wchar_t hardwareIds[] = L"root\\vantrel_virtual_board\0";
    if (!SetupDiSetDeviceRegistryPropertyW(set.Get(), &device, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(hardwareIds), sizeof hardwareIds))
        return error = Failed(L"SPDRP_HARDWAREID"), false;
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set.Get(), &device))
        return error = Failed(L"DIF_REGISTERDEVICE"), false;
    // What the driver reads when it starts: its pipe and its strings.
    HKEY key = SetupDiCreateDevRegKeyW(set.Get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    if (key == INVALID_HANDLE_VALUE) return error = Failed(L"SetupDiCreateDevRegKeyW"), false;
    const bool written = WriteText(key, L"Pipe", PipeName(n)) && WriteText(key, L"Product", Product(n)) &&
                         WriteText(key, L"Serial", Serial(n));
    RegCloseKey(key);
    if (!written) return error = L"writing the device key failed", false;
    const std::wstring inf = BesideProgram(L"vantrel-vboard.inf");
    BOOL reboot = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesW(nullptr, kHardwareId, inf.c_str(), INSTALLFLAG_FORCE, &reboot))
        return error = Failed(L"UpdateDriverForPlugAndPlayDevicesW"), false;
    return true;
}

bool Unplug(unsigned n, std::wstring& error)
{
    DeviceSet set;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiOpenDeviceInfoW(set.Get(), InstanceId(n).c_str(), nullptr, 0, &device))
        return error = Failed(L"SetupDiOpenDeviceInfoW"), false;
    if (!SetupDiCallClassInstaller(DIF_REMOVE, set.Get(), &device)) return error = Failed(L"DIF_REMOVE"), false;
    return true;
}

bool UninstallAll(std::wstring& error)
{
    HDEVINFO all = SetupDiGetClassDevsW(&kSystemClass, nullptr, nullptr, 0);
    if (all == INVALID_HANDLE_VALUE) return error = Failed(L"SetupDiGetClassDevsW"), false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    bool ok = true;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(all, i, &device); ++i) {
        wchar_t id[256] = {};
        if (!SetupDiGetDeviceInstanceIdW(all, &device, id, 256, nullptr)) continue;
        if (_wcsnicmp(id, L"ROOT\\VID_5E3A&PID_FFFD\\", 23) != 0) continue;
        if (!SetupDiCallClassInstaller(DIF_REMOVE, all, &device)) ok = false, error = Failed(L"DIF_REMOVE");
    }
    SetupDiDestroyDeviceInfoList(all);
    return ok;
}

} // namespace VirtualBoards
