#include "link/ReportInbox.h"

#include <algorithm>
#include <chrono>

void CReportInbox::Push(const uint8_t* payload)
{
    ReportPayload item;
    std::copy(payload, payload + kPayloadSize, item.begin());
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_items.push_back(item);
        m_news = true;
    }
    m_changed.notify_all();
}

bool CReportInbox::PopFront(ReportPayload& payload)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_items.empty()) return false;
    payload = m_items.front();
    m_items.pop_front();
    return true;
}

void CReportInbox::Notify()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_news = true;
    }
    m_changed.notify_all();
}

CReportInbox::Wake CReportInbox::Wait(uint64_t timeoutMs, const std::function<bool()>& stopped)
{
    std::unique_lock<std::mutex> guard(m_lock);
    const auto stopAsked = [&] { return stopped && stopped(); };
    // A wait this long is as good as none and keeps the clock arithmetic safe.
    const uint64_t capped = std::min<uint64_t>(timeoutMs, 24ull * 3600 * 1000);
    m_changed.wait_for(guard, std::chrono::milliseconds(capped), [&] { return m_news || stopAsked(); });
    if (stopAsked()) return Wake::Stop;
    if (!m_news) return Wake::Timeout;
    m_news = false;
    return Wake::News;
}
