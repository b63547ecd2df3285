#include "cli/CliBoard_win.h"

extern "C" {
#include <hidsdi.h>
}

namespace {

const wchar_t kWindowClass[] = L"VantrelCliReports";

bool RegisterWindowClass()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

uint64_t CliNowMs()
{
    return GetTickCount64();
}

CCliBoard::CCliBoard()
{
    m_context.queue = &m_queue;
}

CCliBoard::~CCliBoard()
{
    Close();
}

void CCliBoard::SetFlashReply(std::function<void(const uint8_t* payload)> reply)
{
    m_context.flashReply = std::move(reply);
}

CCliBoard::OpenStatus CCliBoard::Open(uint32_t receiveIntervalMs)
{
    if (!m_link.Find()) return OpenStatus::NotFound;
    if (!m_link.Open()) return OpenStatus::OpenFailed;
    if (!RegisterWindowClass()) return OpenStatus::NoThread;
    m_window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!m_window) return OpenStatus::NoThread;
    m_context.notifyWindow = m_window;
    m_context.device.store(m_link.Handle());
    m_context.receiveIntervalMs.store(receiveIntervalMs);
    m_thread = std::make_unique<CReceiveThread>(m_context);
    if (!m_thread->Start()) {
        m_thread.reset();
        return OpenStatus::NoThread;
    }
    return OpenStatus::Opened;
}

void CCliBoard::Close()
{
    if (m_thread) {
        // The thread sees the flag after its pass; cancelling the read it
        // waits in ends that pass now instead of after the read time-out.
        m_context.stop.store(1);
        const HANDLE device = m_link.Handle();
        if (device != nullptr && device != INVALID_HANDLE_VALUE) CancelIoEx(device, nullptr);
        m_thread->Stop();
        m_thread.reset();
    }
    m_context.device.store(nullptr);
    m_link.Close();
    if (m_window) {
        DestroyWindow(m_window);
        m_window = nullptr;
        m_context.notifyWindow = nullptr;
    }
}

bool CCliBoard::Send(const OutputFrame& frame) const
{
    return m_link.WriteFrame(frame) == CSubBoardLink::kWriteDone;
}

void CCliBoard::Notify() const
{
    if (m_window) PostMessageW(m_window, kSubBoardReportMessage, 0, 0);
}

void CCliBoard::DrainMessages()
{
    // Our wake-ups carry nothing; anything else posted to this thread goes
    // where it belongs.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.hwnd != m_window) DispatchMessageW(&msg);
    }
}

CCliBoard::Wake CCliBoard::WaitForNews(uint64_t timeoutMs, HANDLE stop)
{
    const DWORD wait = timeoutMs >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(timeoutMs);
    const DWORD count = stop ? 1 : 0;
    const DWORD result = MsgWaitForMultipleObjectsEx(count, stop ? &stop : nullptr, wait, QS_POSTMESSAGE,
                                                     MWMO_INPUTAVAILABLE);
    if (stop && result == WAIT_OBJECT_0) return Wake::Stop;
    if (result == WAIT_OBJECT_0 + count) {
        DrainMessages();
        return Wake::News;
    }
    return Wake::Timeout;
}

bool CCliBoard::Present() const
{
    const HANDLE device = m_link.Handle();
    if (device == nullptr || device == INVALID_HANDLE_VALUE) return false;
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

bool CCliBoard::Lost(uint64_t nowMs)
{
    if (nowMs < m_nextProbeMs) return false;
    m_nextProbeMs = nowMs + kProbeIntervalMs;
    m_failedProbes = Present() ? 0 : m_failedProbes + 1;
    return m_failedProbes >= 2;
}
