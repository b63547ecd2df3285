#pragma once
// The sub board as the main window holds it: the link, the receive thread
// with its report queue, and the device notifications. The one place that
// knows whether a board is open: a board is connected exactly while the link
// holds an open handle.
//
// Threads. Every member runs on the user interface thread, except SendFrame
// (any thread; the reports of one frame are never interleaved with another
// frame's) and the flash-reply callback given to Attach, which runs on the
// receive thread. The receive thread touches only what this part owns: the
// receive context (device handle, stop and measuring flags, receive
// interval), the report queue and the callback.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <windows.h>

#include "link/DeviceNotification_win.h"
#include "link/ReceiveThread_win.h"
#include "link/ReportQueue_win.h"
#include "link/SubBoardLink_win.h"
#include "protocol/Frames.h"

class CBoardConnection {
public:
    using FlashReply = std::function<void(const uint8_t* payload)>;
    // Lets the device stack settle before the interfaces are listed again.
    static constexpr DWORD kSettleMs = 50;

    CBoardConnection() = default;
    ~CBoardConnection() { Detach(); }
    CBoardConnection(const CBoardConnection&) = delete;
    CBoardConnection& operator=(const CBoardConnection&) = delete;

    // window receives WM_DEVICECHANGE and the queued-report message.
    // talksToBoard is false in the demo modes: then no frame is written and
    // no receive thread runs, though a board may be open.
    void Attach(HWND window, bool talksToBoard, FlashReply flashReply);
    // Notices boards being plugged in (any HID interface).
    void WatchArrivals();
    // Finds the board (the last match) and opens it; then starts the receive
    // thread and watches the handle. False, with nothing open, when no board
    // is found or it cannot be opened. The interval is kept either way.
    bool Connect(uint32_t receiveIntervalMs);
    // Stops the receive thread, then closes the device.
    void Disconnect();
    // Shutdown: disconnects, stops watching and drops queued reports.
    void Detach();

    // Device arrival: connects when no board is open and one can be opened now.
    bool ConnectOnArrival(uint32_t receiveIntervalMs);
    // Interface removal of `removedPath`: true when that is the open board
    // (in any spelling of its path), or when the open board's path is no
    // longer listed. Another device, or another sub board, going away is not
    // the open board going away.
    bool OpenBoardWentAway(const std::wstring& removedPath);
    // Handle removal: true when the record is about the open handle.
    bool IsOpenHandle(HANDLE device) const { return Connected() && device == m_link.Handle(); }
    // True when the receive thread found the open board gone, or ended on
    // its own (it then posted kBoardLostMessage).
    bool BoardLost() const { return Connected() && m_context.lost.load() == 1; }

    bool Connected() const { return m_link.Handle() != nullptr; }
    void SendFrame(const OutputFrame& frame) const;

    bool PopReport(ReportPayload& payload) { return m_queue.PopFront(payload); }
    size_t QueuedReports() const { return m_queue.Count(); }
    // Pushes a report as the receive thread would (tests, fault injection).
    void QueueReport(const uint8_t* payload) { m_queue.Push(payload); }

    // The measuring flag and interval the receive thread filters with.
    bool Measuring() const { return m_context.measuring.load() == 1; }
    void SetMeasuring(bool on) { m_context.measuring.store(on ? 1u : 0u); }
    void SetReceiveIntervalMs(uint32_t ms) { m_context.receiveIntervalMs.store(ms); }
    uint32_t ReceiveIntervalMs() const { return m_context.receiveIntervalMs.load(); }

    bool ReceiveThreadRunning() const { return m_thread && m_thread->Running(); }
    const CReceiveThread* ReceiveThread() const { return m_thread.get(); }
    bool WatchesArrivals() const { return m_arrivals.IsRegistered(); }
    bool WatchesHandle() const { return m_handle.IsRegistered(); }
    const CSubBoardLink& Link() const { return m_link; }
    HANDLE DeviceHandle() const { return m_link.Handle(); }

private:
    void StartReceiveThread();
    void StopReceiveThread();
    bool OpenPathListed() const;

    HWND m_window = nullptr;
    bool m_talks = false;
    CSubBoardLink m_link;
    CReportQueue m_queue;
    ReceiveContext m_context;
    std::unique_ptr<CReceiveThread> m_thread;
    CDeviceNotification m_arrivals;
    CDeviceNotification m_handle;
};
