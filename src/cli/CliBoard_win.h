#pragma once
// The sub board as vantrel-cli uses it: found and opened by the same link as
// the dialog's, read by the same receive thread. Queued reports wake a
// message-only window of the thread that opened the board, so a console
// program waits for them like the dialog does.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <windows.h>

#include "link/ReceiveThread_win.h"
#include "link/ReportQueue_win.h"
#include "link/SubBoardLink_win.h"
#include "protocol/Frames.h"

class CCliBoard {
public:
    enum class OpenStatus { Opened, NotFound, OpenFailed, NoThread };
    enum class Wake { News, Stop, Timeout };

    CCliBoard();
    ~CCliBoard();
    CCliBoard(const CCliBoard&) = delete;
    CCliBoard& operator=(const CCliBoard&) = delete;

    // Called on the receive thread for every accepted flash acknowledgement.
    // Set before Open.
    void SetFlashReply(std::function<void(const uint8_t* payload)> reply);

    // Finds the board as the dialog does (the last match), opens it and
    // starts the receive thread.
    OpenStatus Open(uint32_t receiveIntervalMs);
    // Stops the receive thread and closes the device; also done on destruction.
    void Close();

    // Writes the frame's three reports; false when any of them failed.
    // Safe on any thread.
    bool Send(const OutputFrame& frame) const;
    void SetMeasuring(bool on) { m_context.measuring.store(on ? 1u : 0u); }

    bool PopReport(ReportPayload& payload) { return m_queue.PopFront(payload); }
    // Wakes the waiting thread; safe on any thread.
    void Notify() const;
    // Sleeps until the receive thread has news, `stop` (may be null) is set
    // or timeoutMs have passed.
    Wake WaitForNews(uint64_t timeoutMs, HANDLE stop);

    // False once the open device has gone away.
    bool Present() const;
    // True when the device has gone away: probed at most once per
    // kProbeIntervalMs, and lost only after two failed probes in a row.
    bool Lost(uint64_t nowMs);
    static constexpr uint64_t kProbeIntervalMs = 1000;
    const std::wstring& Path() const { return m_link.DevicePath(); }

private:
    void DrainMessages();

    CSubBoardLink m_link;
    CReportQueue m_queue;
    ReceiveContext m_context;
    std::unique_ptr<CReceiveThread> m_thread;
    HWND m_window = nullptr;
    uint64_t m_nextProbeMs = 0;
    int m_failedProbes = 0;
};

// Milliseconds since the system started; does not wrap.
uint64_t CliNowMs();
