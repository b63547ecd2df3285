#include "link/BoardConnection_win.h"

#include "link/BoardDevices.h"

namespace {

// The HID interface class. Arrival and removal of any HID device reach us;
// Find then tells whether the sub board is among them.
constexpr GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

} // namespace

void CBoardConnection::Attach(HWND window, bool talksToBoard, FlashReply flashReply)
{
    m_window = window;
    m_talks = talksToBoard;
    m_context.queue = &m_queue;
    m_context.notifyWindow = window;
    m_context.flashReply = std::move(flashReply);
}

void CBoardConnection::WatchArrivals()
{
    m_arrivals.RegisterInterfaceClass(m_window, kHidInterfaceClass);
}

bool CBoardConnection::Connect(uint32_t receiveIntervalMs)
{
    m_context.receiveIntervalMs.store(receiveIntervalMs);
    if (!m_link.Find() || !m_link.Open()) return false;
    m_context.device.store(m_link.Handle());
    m_context.lost.store(0);
    if (m_talks) StartReceiveThread();
    m_handle.RegisterHandle(m_window, m_link.Handle());
    return true;
}

void CBoardConnection::Disconnect()
{
    // The thread must be gone before its handle is closed.
    StopReceiveThread();
    m_context.device.store(nullptr);
    m_link.Close();
    m_handle.Reset();
}

void CBoardConnection::Detach()
{
    m_arrivals.Reset();
    Disconnect();
    m_queue.Clear();
}

bool CBoardConnection::ConnectOnArrival(uint32_t receiveIntervalMs)
{
    // One board at a time: a second one is left alone.
    if (Connected()) return false;
    Sleep(kSettleMs);
    return Connect(receiveIntervalMs);
}

bool CBoardConnection::OpenBoardWentAway(const std::wstring& removedPath)
{
    if (!Connected()) return false;
    // The record names our board: gone, even if a board of that path is
    // listed again already (a quick replug, a port reset).
    if (SameWindowsDevicePath(removedPath, m_link.DevicePath())) return true;
    Sleep(kSettleMs);
    return !OpenPathListed();
}

bool CBoardConnection::OpenPathListed() const
{
    for (const std::wstring& path : m_link.FindAll())
        if (SameWindowsDevicePath(path, m_link.DevicePath())) return true;
    return false;
}

void CBoardConnection::SendFrame(const OutputFrame& frame) const
{
    if (m_talks) m_link.WriteFrame(frame);
}

void CBoardConnection::StartReceiveThread()
{
    if (!m_thread) m_thread = std::make_unique<CReceiveThread>(m_context);
    m_thread->Start();
}

void CBoardConnection::StopReceiveThread()
{
    if (!m_thread) return;
    m_thread->Stop();
    m_thread.reset();
}
