#pragma once
// The hand-over from the receive thread to the user interface thread: a
// first-in first-out list of 64-byte report payloads under the queue lock.
// Whatever is left when the queue goes away is freed with it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <list>

#include "fw/Handle_win.h"
#include "protocol/ReportCodes.h"

using ReportPayload = std::array<uint8_t, kPayloadSize>;

class CReportQueue {
public:
    CReportQueue() = default;
    CReportQueue(const CReportQueue&) = delete;
    CReportQueue& operator=(const CReportQueue&) = delete;

    // Copies kPayloadSize bytes to the tail.
    void Push(const uint8_t* payload)
    {
        std::list<ReportPayload> node(1);
        std::copy(payload, payload + kPayloadSize, node.front().begin());
        CLockGuard guard(m_lock);
        m_items.splice(m_items.end(), node);
    }

    // Takes the head; false when the queue is empty.
    bool PopFront(ReportPayload& payload)
    {
        std::list<ReportPayload> node;
        {
            CLockGuard guard(m_lock);
            if (m_items.empty()) return false;
            node.splice(node.end(), m_items, m_items.begin());
        }
        payload = node.front();
        return true;
    }

    // Takes everything, oldest first.
    std::list<ReportPayload> PopAll()
    {
        std::list<ReportPayload> all;
        CLockGuard guard(m_lock);
        all.swap(m_items);
        return all;
    }

    size_t Count() const
    {
        CLockGuard guard(m_lock);
        return m_items.size();
    }

    void Clear() { PopAll(); }

private:
    mutable CCriticalSection m_lock;
    std::list<ReportPayload> m_items;
};
