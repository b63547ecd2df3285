// Boards on Windows: the link's HID and listed devices, read and written
// with the same overlapped calls and time-outs as the dialog's receive
// thread and WriteReport.
#include "link/BoardDevices.h"

#include "fw/Handle_win.h"
#include "link/SubBoardLink_win.h"
#include "protocol/ReportCodes.h"

extern "C" {
#include <hidsdi.h>
}

namespace {

bool IsPipePath(const std::wstring& path)
{
    static const wchar_t prefix[] = L"\\\\.\\pipe\\";
    return _wcsnicmp(path.c_str(), prefix, wcslen(prefix)) == 0;
}

// A HID string of the device; empty when it has none.
std::wstring HidString(HANDLE device, BOOLEAN(NTAPI* get)(HANDLE, PVOID, ULONG))
{
    // The HID class limits these strings to 126 characters.
    wchar_t text[128] = {};
    if (!get(device, text, sizeof text - sizeof text[0])) return std::wstring();
    return std::wstring(text);
}

class CHidTransport : public IBoardTransport {
public:
    explicit CHidTransport(const std::wstring& path) { m_link.Choose(path); }
    bool Open() { return m_link.Open() != FALSE; }

    ReadResult Read(uint8_t* report, uint32_t timeoutMs) override;
    void CancelRead() override { CancelIoEx(m_link.Handle(), nullptr); }
    bool Write(const uint8_t* report) override { return m_link.WriteReport(report) == CSubBoardLink::kWriteDone; }
    bool Present() override;

private:
    CSubBoardLink m_link;
};

IBoardTransport::ReadResult CHidTransport::Read(uint8_t* report, uint32_t timeoutMs)
{
    switch (ReadReport(m_link.Handle(), report, timeoutMs)) {
    case ReportRead::Report: return ReadResult::Report;
    case ReportRead::Nothing: return ReadResult::Nothing;
    case ReportRead::Failed: break;
    case ReportRead::Gone: return ReadResult::Gone;
    }
    return ReadResult::Failed;
}

bool CHidTransport::Present()
{
    const HANDLE device = m_link.Handle();
    // A simulated board is a pipe; a real one answers HID requests while it
    // is plugged in.
    if (GetFileType(device) == FILE_TYPE_PIPE) {
        DWORD available = 0;
        if (PeekNamedPipe(device, nullptr, 0, nullptr, &available, nullptr)) return true;
        const DWORD error = GetLastError();
        return error != ERROR_BROKEN_PIPE && error != ERROR_PIPE_NOT_CONNECTED && error != ERROR_NO_DATA;
    }
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    return HidD_GetAttributes(device, &attributes) != FALSE;
}

} // namespace

bool BoardPathsIgnoreCase()
{
    return true;
}

std::vector<BoardInfo> FindBoards()
{
    std::vector<BoardInfo> boards;
    for (std::wstring& path : CSubBoardLink().FindAll()) {
        BoardInfo info;
        // Opening a pipe would take the simulator's only connection.
        if (!IsPipePath(path)) {
            // No access asked: the strings can be read while another program
            // has the board open.
            CHandle device(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
            if (device.IsValid()) {
                info.serial = HidString(device.Get(), HidD_GetSerialNumberString);
                info.product = HidString(device.Get(), HidD_GetProductString);
            }
        }
        info.path = std::move(path);
        boards.push_back(std::move(info));
    }
    return boards;
}

std::unique_ptr<IBoardTransport> OpenBoardTransport(const std::wstring& path)
{
    auto transport = std::make_unique<CHidTransport>(path);
    if (!transport->Open()) return nullptr;
    return transport;
}
