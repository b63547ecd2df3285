// The main window's side of the sub-board link: finding, opening and closing
// the board, sending frames, and owning the receive thread and its queue.
#include "app/RunMode.h"
#include "app/VantrelDlg_win.h"

bool CVantrelDlg::FindSubBoard()
{
    return m_link.Find() == 1;
}

bool CVantrelDlg::OpenSubBoard()
{
    const BOOL opened = m_link.Open();
    m_receive.device.store(opened ? m_link.Handle() : nullptr);
    return opened != FALSE;
}

void CVantrelDlg::CloseSubBoard()
{
    m_receive.device.store(nullptr);
    m_link.Close();
}

HANDLE CVantrelDlg::DeviceHandle() const
{
    return m_link.Handle();
}

void CVantrelDlg::SendFrame(const OutputFrame& frame)
{
    if (m_demoMode != kNormalMode) return;
    m_link.WriteFrame(frame);
}

void CVantrelDlg::SendStopFrame()
{
    SendFrame(BuildStopFrame());
}

bool CVantrelDlg::PopReport(std::array<uint8_t, kPayloadSize>& payload)
{
    return m_reportQueue.PopFront(payload);
}

size_t CVantrelDlg::QueuedReportCount()
{
    return m_reportQueue.Count();
}

void CVantrelDlg::FreeReportQueue()
{
    m_reportQueue.Clear();
}

void CVantrelDlg::StartReceiveThread(uint16_t seconds)
{
    m_receive.receiveIntervalMs.store(static_cast<uint32_t>(seconds) * 1000u);
    if (m_demoMode != kNormalMode) return;
    m_receive.queue = &m_reportQueue;
    m_receive.notifyWindow = GetHwnd();
    m_receive.flashReply = [this](const uint8_t* payload) { OnFlashAcknowledge(payload); };
    if (!m_receiveThread) m_receiveThread = std::make_unique<CReceiveThread>(m_receive);
    m_receiveThread->Start();
}

void CVantrelDlg::StopReceiveThread()
{
    if (!m_receiveThread) return;
    m_receiveThread->Stop();
    m_receiveThread.reset();
}
static_assert(kSubBoardReportMessage == WM_SUBBOARD_REPORT, "one message id for queued reports");
