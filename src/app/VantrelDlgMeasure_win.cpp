// Start measure, Stop measure and the demo timer. In normal mode the sub
// board paces the readings and the dispatcher takes them; in the demo modes
// window timer 1 takes one per period from the demo source.
#include "app/VantrelDlg_win.h"

#include "app/RunMode.h"
#include "fw/MessageBox_win.h"
#include "log/LogTime.h"
#include "ui/CurrentValuePanel.h"

void CVantrelDlg::OnStartMeasure()
{
    // Demo mode 1 wants a board although nothing is sent to it.
    if (m_demoMode != kDemoMode2 && !m_board.Connected()) {
        AppMessageBox(GetHwnd(), L"Sub board was not found", L"error", MB_OK | MB_ICONWARNING);
        return;
    }
    m_measurement.Start(m_settings.ReceiveInterval);
    SetEnableState(EnableState::Measuring);
    // In the demo modes the first reading comes at once; it leaves the graph
    // view alone.
    if (m_demoMode != kNormalMode) TakeDemoReading(false);
}

void CVantrelDlg::OnStopMeasure()
{
    m_measurement.Stop();
    SetEnableState(EnableState::Idle);
}

void CVantrelDlg::OnTimer(UINT_PTR id)
{
    if (!m_measurement.IsDemoTick(id)) return;
    UpdateData(true);
    TakeDemoReading(true);
}

void CVantrelDlg::TakeDemoReading(bool graphSteps)
{
    const DemoReading reading = m_measurement.NextDemoReading();
    AddReading(TruncateToInt32(reading.rsoc), reading.temperature, TruncateToUInt16(reading.voltage), graphSteps);
}

void CVantrelDlg::AddReading(int32_t rsoc, double temperature, uint16_t voltage, bool graphSteps)
{
    tagLOGDATA record = MakeLogRecord(LocalTimeNow(), rsoc, temperature, voltage);
    record.rowIndex = m_logView.NextRowIndex();
    m_logView.AddMeasurementRow(record);

    // The cursor stays on the record it was on.
    if (graphSteps) m_graph.StepForNewRecord();
    // A reported RSOC fits 8 bits; a demo reading is shown as 16 bits and
    // pictured as 8, whatever its range.
    m_picture.ShowLevel(static_cast<uint8_t>(rsoc));
    m_rsocText = RsocValueText(static_cast<uint16_t>(rsoc));
    m_temperatureText = TemperatureValueText(temperature);
    UpdateData(false);
    if (graphSteps) m_graph.Refresh();
}
