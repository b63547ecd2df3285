#include "link/ReceiveThread_win.h"

#include <mmsystem.h>

#include "link/SubBoardLink_win.h"
#include "protocol/ReportCodes.h"

bool CReceiveThread::Start()
{
    if (m_thread) return false;
    auto thread = std::make_unique<CWorkerThread>([this]() { Run(); });
    if (!thread->Create()) return false;
    m_context.stop.store(0);
    m_thread = std::move(thread);
    m_thread->Resume();
    return true;
}

void CReceiveThread::Stop()
{
    if (!m_thread) return;
    m_context.stop.store(1);
    m_thread->Wait(INFINITE);
    m_thread.reset();
}

void CReceiveThread::Run()
{
    ReceiveFilterState state;
    state.lastPassTick = timeGetTime();
    state.commErrors = 0;
    uint8_t input[kReportSize];
    try {
        do {
            Pass(input, state);
            m_passes.fetch_add(1);
        } while (m_context.stop.load() != 1);
    } catch (...) {
        // Out of memory for a report, say: the thread cannot go on, and a
        // thread that has ended must not look alive to the window.
        ReportLost();
    }
}

void CReceiveThread::Pass(uint8_t* input, ReceiveFilterState& state)
{
    if (m_wakePending) Wake();
    const HANDLE device = m_context.device.load();
    if (device == nullptr || device == INVALID_HANDLE_VALUE) {
        Pause();
        return;
    }
    // The window is far behind: let the board's own buffer hold the rest.
    if (m_context.queue && m_context.queue->Count() >= kMaxQueuedReports) {
        Pause();
        return;
    }
    switch (ReadReport(device, input, kReadTimeoutMs)) {
    case ReportRead::Report: break;
    case ReportRead::Nothing: return;
    // A dead or missing device must not keep a core busy.
    case ReportRead::Failed: Pause(); return;
    case ReportRead::Gone:
        ReportLost();
        Pause();
        return;
    }
    Handle(input + 1, state);
}

void CReceiveThread::ReportLost()
{
    // Once per board: the window tears the connection down on the first.
    if (m_context.lost.exchange(1) == 1) return;
    if (m_context.notifyWindow) PostMessageW(m_context.notifyWindow, kBoardLostMessage, 0, 0);
}

void CReceiveThread::Wake()
{
    // Only the wake-up can be refused (the window's message queue is full);
    // the report is in the queue already and one later wake-up drains all.
    m_wakePending = m_context.notifyWindow && !PostMessageW(m_context.notifyWindow, kSubBoardReportMessage, 0, 0);
}

void CReceiveThread::Pause()
{
    m_pauses.fetch_add(1);
    Sleep(kIdlePauseMs);
}

void CReceiveThread::Handle(const uint8_t* payload, ReceiveFilterState& state)
{
    const ReceiveDecision decision = FilterReport(payload, m_context.measuring.load(),
                                                  m_context.receiveIntervalMs.load(), timeGetTime(), state);
    state = decision.state;
    switch (decision.action) {
    case ReceiveAction::Queue:
        if (m_context.queue) m_context.queue->Push(payload);
        // Posted after the lock is released (Push holds it only inside).
        Wake();
        break;
    case ReceiveAction::FlashReply:
        if (m_context.flashReply) m_context.flashReply(payload);
        break;
    case ReceiveAction::Drop:
        break;
    }
}
