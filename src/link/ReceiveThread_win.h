#pragma once
// The receive thread: reads every input report of the open sub board, drops
// or paces it, answers flash acknowledgements through the owner's callback
// and hands the rest to the user interface through the report queue.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <windows.h>

#include "fw/Thread_win.h"
#include "link/ReceiveFilter.h"
#include "link/ReportQueue_win.h"

// Posted (both parameters 0) to the owner window for every queued report.
constexpr UINT kSubBoardReportMessage = WM_USER + 100;
// Posted (both parameters 0) once when the thread finds the board gone (its
// reads fail as a removed device's do) or ends without being asked to. The
// window learns it even when no device notification comes.
constexpr UINT kBoardLostMessage = WM_USER + 101;

// What the thread shares with its owner. The owner writes the flags and the
// device handle; the thread only reads them.
struct ReceiveContext {
    std::atomic<HANDLE> device{nullptr};
    std::atomic<uint32_t> stop{0};
    std::atomic<uint32_t> measuring{0};
    std::atomic<uint32_t> receiveIntervalMs{0};
    // Set by the thread (1) when the board is lost; cleared by the owner
    // for each board it opens.
    std::atomic<uint32_t> lost{0};
    CReportQueue* queue = nullptr;
    HWND notifyWindow = nullptr;
    // Called on the receive thread for an accepted flash acknowledgement
    // (the 64 payload bytes); sends the next flash frame.
    std::function<void(const uint8_t* payload)> flashReply;
};

class CReceiveThread {
public:
    static constexpr DWORD kReadTimeoutMs = 1000;
    // Pause after a pass that could not read at all, so a dead or missing
    // device does not keep a core busy.
    static constexpr DWORD kIdlePauseMs = 20;
    // Reports the window has not taken yet beyond which the thread stops
    // reading until it has (about 256 KiB): a window that falls behind a
    // fast board must not make memory grow without end.
    static constexpr size_t kMaxQueuedReports = 4096;

    explicit CReceiveThread(ReceiveContext& context) : m_context(context) {}
    ~CReceiveThread() { Stop(); }
    CReceiveThread(const CReceiveThread&) = delete;
    CReceiveThread& operator=(const CReceiveThread&) = delete;

    // Creates the thread suspended; if that worked, clears the stop flag and
    // lets it run. Does nothing while a thread exists.
    bool Start();
    // Sets the stop flag and waits without time-out for the thread's end.
    // Does nothing without a thread.
    void Stop();
    // True while the thread runs: false before Start, after Stop, and once
    // it has ended on its own.
    bool Running() const { return m_thread && !m_thread->Wait(0); }
    // Passes of the receive loop so far (one read or one pause each).
    uint32_t Passes() const { return m_passes.load(); }
    // The running thread (null when none), for measuring its CPU time.
    HANDLE ThreadHandle() const { return m_thread ? m_thread->Handle() : nullptr; }
    // Passes that paused because no read could be made.
    uint32_t Pauses() const { return m_pauses.load(); }

private:
    void Run();
    void Pass(uint8_t* input, ReceiveFilterState& state);
    void Handle(const uint8_t* payload, ReceiveFilterState& state);
    void Pause();
    void ReportLost();
    void Wake();

    ReceiveContext& m_context;
    std::unique_ptr<CWorkerThread> m_thread;
    std::atomic<uint32_t> m_passes{0};
    std::atomic<uint32_t> m_pauses{0};
    // A wake-up the window's message queue refused; posted again next pass.
    bool m_wakePending = false;
};
