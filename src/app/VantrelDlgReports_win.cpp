// The handler of the queued-report message: takes the reports the receive thread
// queued and acts on each one on the user interface thread.
#include "app/VantrelDlg_win.h"

#include "fw/MessageBox_win.h"
#include "protocol/ReportDecode.h"

namespace {

// While no measurement runs, only the answers to commands the user gives
// outside a measurement are looked at.
bool HandledWhileIdle(uint8_t code)
{
    return code == RC_SETTINGS || code == RC_SETTINGS_CHECK || code == RC_READ_WORD;
}

} // namespace

void CVantrelDlg::OnSubBoardReport()
{
    // Only as many as are queued now: each later report comes with a message
    // of its own. The queue lock is held only inside the count and each pop,
    // never while a report is handled (a message box may be open then).
    const size_t noted = m_board.QueuedReports();
    ReportPayload payload{};
    for (size_t taken = 0; taken < noted; ++taken) {
        // A message box's nested loop may have drained the queue meanwhile.
        if (!m_board.PopReport(payload)) break;
        HandleSubBoardReport(payload.data());
    }
}

void CVantrelDlg::HandleSubBoardReport(const uint8_t* payload)
{
    const uint8_t code = payload[0];
    if (m_board.Measuring() || HandledWhileIdle(code)) {
        switch (code) {
        case RC_MEASURE: OnMeasurementReport(payload); break;
        case RC_COMM_ERROR: OnCommErrorReport(); break;
        case RC_READ_WORD: ShowReadWordReply(payload); break;
        default: break;
        }
    }
    // Whatever arrives during a flash write ends it.
    if (m_flashWriting == 1) EndFlashWrite(code);
}

void CVantrelDlg::OnMeasurementReport(const uint8_t* payload)
{
    UpdateData(true);
    const MeasurementReading reading = DecodeMeasurement(payload);
    AddReading(reading.rsoc, reading.temperature, reading.voltage, true);
}

void CVantrelDlg::OnCommErrorReport()
{
    SendStopFrame();
    m_board.SetMeasuring(false);
    SetEnableState(EnableState::Idle);
    AppMessageBox(GetHwnd(), L"Communication error", L"error", MB_OK | MB_ICONWARNING);
}
