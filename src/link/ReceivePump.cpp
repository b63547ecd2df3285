#include "link/ReceivePump.h"

#include <chrono>
#include <system_error>

#include "protocol/ReportCodes.h"

uint64_t SteadyNowMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

CReceivePump::CReceivePump(IBoardTransport& transport, CReportInbox& inbox,
                           std::function<void(const uint8_t* payload)> flashReply)
    : m_transport(transport), m_inbox(inbox), m_flashReply(std::move(flashReply))
{
}

bool CReceivePump::Start(uint32_t receiveIntervalMs)
{
    if (m_thread.joinable()) return false;
    m_stop.store(0);
    m_receiveIntervalMs = receiveIntervalMs;
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CReceivePump::Stop()
{
    if (!m_thread.joinable()) return;
    m_stop.store(1);
    m_transport.CancelRead();
    m_thread.join();
}

void CReceivePump::Run()
{
    ReceiveFilterState state;
    // The filter's tick is 32 bits, as the dialog's; its arithmetic wraps.
    state.lastPassTick = static_cast<uint32_t>(SteadyNowMs());
    uint8_t report[kReportSize];
    while (m_stop.load() != 1) {
        const IBoardTransport::ReadResult read = m_transport.Read(report, kReadTimeoutMs);
        if (read == IBoardTransport::ReadResult::Gone && m_gone.exchange(1) == 0) m_inbox.Notify();
        if (read == IBoardTransport::ReadResult::Failed || read == IBoardTransport::ReadResult::Gone) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kIdlePauseMs));
            continue;
        }
        if (read != IBoardTransport::ReadResult::Report) continue;
        const uint8_t* payload = report + 1;
        const uint32_t measuring = m_measuring.load();
        const ReceiveDecision decision =
            FilterReport(payload, measuring, m_receiveIntervalMs, static_cast<uint32_t>(SteadyNowMs()), state);
        state = decision.state;
        if (payload[0] == RC_COMM_ERROR && measuring == 1) {
            m_commErrors.fetch_add(1);
            if (decision.action == ReceiveAction::Drop) m_inbox.Notify();
        }
        switch (decision.action) {
        case ReceiveAction::Queue: m_inbox.Push(payload); break;
        case ReceiveAction::FlashReply:
            if (m_flashReply) m_flashReply(payload);
            break;
        case ReceiveAction::Drop: break;
        }
    }
}
