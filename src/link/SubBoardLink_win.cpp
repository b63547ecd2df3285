#include "link/SubBoardLink_win.h"

#include <cstddef>
#include <cwchar>
#include <vector>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include "protocol/ReportCodes.h"

namespace {

// The detail record's fixed part, as SetupDi checks it in a 32-bit process.
static_assert(sizeof(void*) != 4 || sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 6,
              "detail record size differs from what a 32-bit process must pass");

class CDeviceInfoSet {
public:
    explicit CDeviceInfoSet(HDEVINFO set) : m_set(set) {}
    ~CDeviceInfoSet()
    {
        if (m_set != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(m_set);
    }
    CDeviceInfoSet(const CDeviceInfoSet&) = delete;
    CDeviceInfoSet& operator=(const CDeviceInfoSet&) = delete;
    HDEVINFO Get() const { return m_set; }

private:
    HDEVINFO m_set;
};

const std::wstring& MatchText()
{
    static const std::wstring text(kSubBoardMatchText, kSubBoardMatchText + sizeof kSubBoardMatchText - 1);
    return text;
}

std::wstring InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* iface)
{
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, iface, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return std::wstring();
    std::vector<DWORD> storage((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, iface, detail, size, nullptr, nullptr)) return std::wstring();
    // The path ends inside the buffer even if the terminator were missing.
    const size_t maxChars = (size - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
    size_t length = 0;
    while (length < maxChars && detail->DevicePath[length] != 0) ++length;
    return std::wstring(detail->DevicePath, length);
}

std::wstring EnvironmentText(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::wstring();
    std::wstring value(size, L'\0');
    size = GetEnvironmentVariableW(name, &value[0], size);
    value.resize(size);
    return value;
}

// A listed path counts only while something answers to it, so that a board
// that went away is no longer found. For a named pipe, "busy" means that it
// exists and is connected (to us, usually).
bool IsPresent(const std::wstring& path)
{
    static const wchar_t pipePrefix[] = L"\\\\.\\pipe\\";
    if (_wcsnicmp(path.c_str(), pipePrefix, wcslen(pipePrefix)) == 0) {
        if (WaitNamedPipeW(path.c_str(), 1)) return true;
        const DWORD error = GetLastError();
        return error == ERROR_SEM_TIMEOUT || error == ERROR_PIPE_BUSY;
    }
    // A device may refuse the question; only "not there" counts as absent.
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// What a read of a board that is no longer there fails with: a HID device
// after its removal (Wine: access denied; Windows: not connected, or a
// handle the system has already invalidated), a simulator that closed its
// pipe.
bool IsGoneError(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_INVALID_HANDLE:
    case ERROR_BAD_COMMAND:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BROKEN_PIPE:
    case ERROR_PIPE_NOT_CONNECTED:
        return true;
    default:
        return false;
    }
}

ReportRead FailedRead(DWORD error)
{
    return IsGoneError(error) ? ReportRead::Gone : ReportRead::Failed;
}

} // namespace

CSubBoardLink::CSubBoardLink()
{
    HidD_GetHidGuid(&m_hidClass);
}

bool CSubBoardLink::IsSubBoardPath(const std::wstring& path)
{
    return path.find(MatchText()) != std::wstring::npos;
}

int CSubBoardLink::Find()
{
    m_devicePath.clear();
    std::vector<std::wstring> paths = FindAll();
    if (paths.empty()) return 0;
    // With several boards the last one is used; listed devices come after
    // the HID interfaces, so a listed match wins.
    m_devicePath = std::move(paths.back());
    return 1;
}

std::vector<std::wstring> CSubBoardLink::FindAll() const
{
    std::vector<std::wstring> paths;
    FindHidInterfaces(paths);
    FindListedDevices(paths);
    return paths;
}

void CSubBoardLink::FindHidInterfaces(std::vector<std::wstring>& paths) const
{
    GUID hidClass = m_hidClass;
    CDeviceInfoSet set(SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (set.Get() == INVALID_HANDLE_VALUE) return;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        if (!SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &hidClass, index, &iface)) break;
        std::wstring path = InterfacePath(set.Get(), &iface);
        if (IsSubBoardPath(path)) paths.push_back(std::move(path));
    }
}

void CSubBoardLink::FindListedDevices(std::vector<std::wstring>& paths) const
{
    const std::wstring list = EnvironmentText(kDeviceEnvironmentVariable);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L';', start);
        if (end == std::wstring::npos) end = list.size();
        std::wstring path = list.substr(start, end - start);
        if (IsSubBoardPath(path) && IsPresent(path)) paths.push_back(std::move(path));
        start = end + 1;
    }
}

BOOL CSubBoardLink::Open()
{
    auto open = [this] {
        return CreateFileW(m_devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    };
    HANDLE h = open();
    // A simulated board serves one client on one pipe instance; right after
    // the previous client closed, the instance is busy until the simulator
    // has noticed. Wait for it briefly instead of calling the board absent.
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY &&
        WaitNamedPipeW(m_devicePath.c_str(), kPipeBusyWaitMs))
        h = open();
    // A simulated board is a message pipe: read it one report per message,
    // as a HID device delivers them.
    if (h != INVALID_HANDLE_VALUE && GetFileType(h) == FILE_TYPE_PIPE) {
        DWORD mode = PIPE_READMODE_MESSAGE;
        SetNamedPipeHandleState(h, &mode, nullptr, nullptr);
    }
    // A device that could not be opened is not open: keep no handle, so
    // every "is a board open?" test sees null, and a later arrival retries.
    m_device.Reset(h == INVALID_HANDLE_VALUE ? nullptr : h);
    return m_device.IsValid();
}

BOOL CSubBoardLink::Close()
{
    return m_device.Close();
}

int CSubBoardLink::WriteReport(const uint8_t* report) const
{
    const HANDLE device = m_device.Get();
    if (device == nullptr) return kWriteNoDevice;

    CHandle event(CreateEventW(nullptr, FALSE, TRUE, L""));
    if (!event.IsValid()) return kWriteFailed;
    OVERLAPPED ov{};
    ov.hEvent = event.Get();
    DWORD remaining = static_cast<DWORD>(kReportSize);
    DWORD offset = 0;
    // Any write given up on must be finished before its record and event go
    // away: cancel it and wait for the cancellation.
    auto abandon = [&]() {
        DWORD ignored = 0;
        CancelIoEx(device, &ov);
        GetOverlappedResult(device, &ov, &ignored, TRUE);
        return kWriteFailed;
    };
    while (remaining > 0) {
        // A write refused at once never signals its event; without this
        // check the zeroed record would read as a finished empty write.
        if (!WriteFile(device, report + offset, remaining, nullptr, &ov) && GetLastError() != ERROR_IO_PENDING)
            return kWriteFailed;
        if (WaitForSingleObject(event.Get(), kWriteTimeoutMs) != WAIT_OBJECT_0) return abandon();
        DWORD written = 0;
        if (!GetOverlappedResult(device, &ov, &written, FALSE) || written == 0) return abandon();
        if (written > remaining) written = remaining;
        offset += written;
        remaining -= written;
    }
    return kWriteDone;
}

int CSubBoardLink::WriteFrame(const OutputFrame& frame) const
{
    CLockGuard guard(m_frameLock);
    int result = kWriteDone;
    for (const OutputReport& report : frame.reports) {
        const int written = WriteReport(report.data());
        if (written != kWriteDone) result = written;
    }
    return result;
}

ReportRead ReadReport(HANDLE device, uint8_t* report, DWORD timeoutMs)
{
    CHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event.IsValid()) return ReportRead::Failed;
    OVERLAPPED ov{};
    ov.hEvent = event.Get();
    if (!ReadFile(device, report, static_cast<DWORD>(kReportSize), nullptr, &ov) && GetLastError() != ERROR_IO_PENDING)
        // A report longer than a report was there: dropped, and no reason to wait.
        return GetLastError() == ERROR_MORE_DATA ? ReportRead::Nothing : FailedRead(GetLastError());
    DWORD read = 0;
    BOOL done;
    if (WaitForSingleObject(event.Get(), timeoutMs) == WAIT_OBJECT_0) {
        done = GetOverlappedResult(device, &ov, &read, FALSE);
    } else {
        CancelIoEx(device, &ov);
        done = GetOverlappedResult(device, &ov, &read, TRUE);
    }
    if (!done) {
        if (GetLastError() == ERROR_IO_INCOMPLETE) {
            CancelIoEx(device, &ov);
            GetOverlappedResult(device, &ov, &read, TRUE);
        }
        const DWORD error = GetLastError();
        return error == ERROR_OPERATION_ABORTED || error == ERROR_MORE_DATA ? ReportRead::Nothing : FailedRead(error);
    }
    return read == kReportSize ? ReportRead::Report : ReportRead::Nothing;
}
