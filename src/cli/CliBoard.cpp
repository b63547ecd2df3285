#include "cli/CliBoard.h"

#include "cli/CliStop.h"

CCliBoard::CCliBoard() = default;

CCliBoard::~CCliBoard()
{
    Close();
}

void CCliBoard::SetFlashReply(std::function<void(const uint8_t* payload)> reply)
{
    m_flashReply = std::move(reply);
}

CCliBoard::OpenStatus CCliBoard::Open(const std::wstring& devicePath, uint32_t receiveIntervalMs)
{
    const std::vector<BoardInfo> boards = FindBoards();
    const std::optional<size_t> chosen = ChooseBoard(boards, devicePath, BoardPathsIgnoreCase());
    if (!chosen) {
        m_path = devicePath;
        return devicePath.empty() ? OpenStatus::NotFound : OpenStatus::NotPresent;
    }
    m_path = boards[*chosen].path;
    m_serial = boards[*chosen].serial;
    m_transport = OpenBoardTransport(m_path);
    if (!m_transport) return OpenStatus::OpenFailed;
    m_pump = std::make_unique<CReceivePump>(*m_transport, m_inbox, m_flashReply);
    if (!m_pump->Start(receiveIntervalMs)) {
        m_pump.reset();
        return OpenStatus::NoThread;
    }
    return OpenStatus::Opened;
}

void CCliBoard::Close()
{
    // The pump must be gone before the transport it reads.
    m_pump.reset();
    m_transport.reset();
}

bool CCliBoard::Send(const OutputFrame& frame) const
{
    if (!m_transport) return false;
    // The receive thread answers flash acknowledgements while the command's
    // thread sends: one frame's reports never interleave with another's.
    std::lock_guard<std::mutex> guard(m_sendLock);
    bool all = true;
    for (const OutputReport& report : frame.reports)
        if (!m_transport->Write(report.data())) all = false;
    return all;
}

void CCliBoard::SetMeasuring(bool on)
{
    if (m_pump) m_pump->SetMeasuring(on);
}

CCliBoard::Wake CCliBoard::WaitForNews(uint64_t timeoutMs)
{
    const CCliStopWatch watch(m_inbox);
    return m_inbox.Wait(timeoutMs, [] { return CliStopRequested(); });
}

bool CCliBoard::Lost(uint64_t nowMs)
{
    // The open board's own reads say it is gone: no probe needed.
    if (m_pump && m_pump->BoardGone()) return true;
    if (nowMs < m_nextProbeMs) return false;
    m_nextProbeMs = nowMs + kProbeIntervalMs;
    const bool present = m_transport && m_transport->Present();
    m_failedProbes = present ? 0 : m_failedProbes + 1;
    return m_failedProbes >= 2;
}
