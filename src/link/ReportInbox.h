#pragma once
// The hand-over from a receive pump to the thread that waits for the board:
// report payloads first in, first out, and a wake-up for each of them (or for
// other news) that the waiting thread sleeps on.
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "protocol/ReportCodes.h"

using ReportPayload = std::array<uint8_t, kPayloadSize>;

class CReportInbox {
public:
    enum class Wake { News, Stop, Timeout };

    CReportInbox() = default;
    CReportInbox(const CReportInbox&) = delete;
    CReportInbox& operator=(const CReportInbox&) = delete;

    // Copies kPayloadSize bytes to the tail and wakes the waiter.
    void Push(const uint8_t* payload);
    // Takes the head; false when empty.
    bool PopFront(ReportPayload& payload);
    // Wakes the waiter without a report.
    void Notify();

    // Sleeps until news has come since the last wait, `stopped` returns
    // true, or timeoutMs have passed. Whoever makes `stopped` true calls
    // Notify afterwards.
    Wake Wait(uint64_t timeoutMs, const std::function<bool()>& stopped);

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<ReportPayload> m_items;
    bool m_news = false;
};
