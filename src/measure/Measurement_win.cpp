#include "measure/Measurement_win.h"

#include "protocol/Frames.h"

void CMeasurement::Attach(HWND window, bool talksToBoard)
{
    m_window = window;
    m_talks = talksToBoard;
}

void CMeasurement::Start(uint16_t intervalSeconds)
{
    if (m_talks) {
        // The first reading comes when the receive thread passes one.
        m_board.SendFrame(BuildStartMeasureFrame());
    } else {
        SetTimer(m_window, kDemoTimerId, static_cast<UINT>(intervalSeconds) * 1000u, nullptr);
        m_demoSource.SetSteps(intervalSeconds);
    }
    m_board.SetMeasuring(true);
}

void CMeasurement::Stop()
{
    if (m_talks)
        m_board.SendFrame(BuildStopFrame());
    else
        KillTimer(m_window, kDemoTimerId);
    m_board.SetMeasuring(false);
}

void CMeasurement::StopDemoTimer()
{
    if (!m_talks) KillTimer(m_window, kDemoTimerId);
}
