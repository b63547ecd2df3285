#pragma once
// The sub board as vantrel-cli uses it: found and opened through the
// platform's board devices, read by a receive pump that filters and paces as
// the dialog's receive thread does, its reports handed over in an inbox the
// command waits on.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "link/BoardDevices.h"
#include "link/ReceivePump.h"
#include "link/ReportInbox.h"
#include "protocol/Frames.h"

class CCliBoard {
public:
    enum class OpenStatus { Opened, NotFound, NotPresent, OpenFailed, NoThread };
    using Wake = CReportInbox::Wake;

    CCliBoard();
    ~CCliBoard();
    CCliBoard(const CCliBoard&) = delete;
    CCliBoard& operator=(const CCliBoard&) = delete;

    // Called on the receive thread for every accepted flash acknowledgement.
    // Set before Open.
    void SetFlashReply(std::function<void(const uint8_t* payload)> reply);

    // Opens the board at `devicePath` (NotPresent when no such board is
    // there), or the last one found when it is empty (NotFound when there is
    // none), and starts the receive pump.
    OpenStatus Open(const std::wstring& devicePath, uint32_t receiveIntervalMs);
    // Stops the receive pump and closes the device; also done on destruction.
    void Close();

    // Writes the frame's three reports; false when any of them failed.
    // Safe on any thread.
    bool Send(const OutputFrame& frame) const;
    void SetMeasuring(bool on);

    bool PopReport(ReportPayload& payload) { return m_inbox.PopFront(payload); }
    // Wakes the waiting thread; safe on any thread.
    void Notify() { m_inbox.Notify(); }
    // Sleeps until the receive pump has news, a stop is requested
    // (CliStop.h) or timeoutMs have passed.
    Wake WaitForNews(uint64_t timeoutMs);

    // True when the device has gone away: at once when the receive pump's
    // reads found it gone, else probed at most once per kProbeIntervalMs and
    // lost only after two failed probes in a row.
    bool Lost(uint64_t nowMs);
    static constexpr uint64_t kProbeIntervalMs = 1000;
    const std::wstring& Path() const { return m_path; }
    // The HID serial number of the open board; empty where it has none.
    const std::wstring& Serial() const { return m_serial; }
    // Communication-error reports received while measuring (CReceivePump).
    uint32_t CommErrors() const { return m_pump ? m_pump->CommErrors() : 0; }

private:
    CReportInbox m_inbox;
    std::function<void(const uint8_t* payload)> m_flashReply;
    std::unique_ptr<IBoardTransport> m_transport;
    mutable std::mutex m_sendLock;
    std::unique_ptr<CReceivePump> m_pump;
    std::wstring m_path;
    std::wstring m_serial;
    uint64_t m_nextProbeMs = 0;
    int m_failedProbes = 0;
};

// Milliseconds of a steady clock; does not wrap.
inline uint64_t CliNowMs()
{
    return SteadyNowMs();
}
