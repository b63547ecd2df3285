#pragma once
// The companion's receive thread: reads every input report of an open board
// through its transport, filters and paces it as the dialog's receive thread
// does, answers flash acknowledgements through the owner's callback and puts
// the rest into the inbox.
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "link/BoardTransport.h"
#include "link/ReceiveFilter.h"
#include "link/ReportInbox.h"

class CReceivePump {
public:
    static constexpr uint32_t kReadTimeoutMs = 1000;
    // Pause after a read that failed, so a dead device does not keep a core busy.
    static constexpr uint32_t kIdlePauseMs = 20;

    // flashReply runs on the pump's thread for every accepted flash
    // acknowledgement (the 64 payload bytes); may be empty.
    CReceivePump(IBoardTransport& transport, CReportInbox& inbox,
                 std::function<void(const uint8_t* payload)> flashReply);
    ~CReceivePump() { Stop(); }
    CReceivePump(const CReceivePump&) = delete;
    CReceivePump& operator=(const CReceivePump&) = delete;

    // False when the thread could not be started.
    bool Start(uint32_t receiveIntervalMs);
    // Ends the pass in progress and joins the thread; does nothing without one.
    void Stop();
    void SetMeasuring(bool on) { m_measuring.store(on ? 1u : 0u); }
    // Communication-error reports read while measuring, the ones the filter
    // swallows included; the inbox is woken for each of those too.
    uint32_t CommErrors() const { return m_commErrors.load(); }
    // True once a read failed because the board is no longer there; the
    // inbox was woken for it.
    bool BoardGone() const { return m_gone.load() == 1; }

private:
    void Run();

    IBoardTransport& m_transport;
    CReportInbox& m_inbox;
    std::function<void(const uint8_t* payload)> m_flashReply;
    std::atomic<uint32_t> m_stop{0};
    std::atomic<uint32_t> m_measuring{0};
    std::atomic<uint32_t> m_commErrors{0};
    std::atomic<uint32_t> m_gone{0};
    uint32_t m_receiveIntervalMs = 0;
    std::thread m_thread;
};

// Milliseconds of a steady clock; does not wrap.
uint64_t SteadyNowMs();
