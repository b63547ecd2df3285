// The handler of WM_SUBBOARD_REPORT: takes the reports the receive thread
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

const wchar_t kFlashRetryText[] = L"Flash write error\nPlease retry the flash write";

} // namespace

LRESULT CVantrelDlg::OnSubBoardReport()
{
    // Only as many as are queued now: each later report comes with a message
    // of its own. The queue lock is held only inside the count and each pop,
    // never while a report is handled (a message box may be open then).
    const size_t noted = QueuedReportCount();
    std::array<uint8_t, kPayloadSize> payload{};
    for (size_t taken = 0; taken < noted; ++taken) {
        // A message box's nested loop may have drained the queue meanwhile.
        if (!PopReport(payload)) break;
        HandleSubBoardReport(payload.data());
    }
    return 0;
}

void CVantrelDlg::HandleSubBoardReport(const uint8_t* payload)
{
    const uint8_t code = payload[0];
    if (Measuring() == 1 || HandledWhileIdle(code)) {
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
    SetMeasuring(0);
    SetEnableState(EnableState::Idle);
    AppMessageBox(GetHwnd(), L"Communication error", L"error", MB_OK | MB_ICONWARNING);
}

void CVantrelDlg::EndFlashWrite(uint8_t code)
{
    UpdateData(true);
    // The receive thread sends no further flash frame from here on, so the
    // stop frame is the last word of this write.
    m_flashSession.End();
    SendStopFrame();
    bool failed = false;
    switch (code) {
    case RC_FLASH_VERIFY_END:
        m_processResult = L"Verify error";
        failed = true;
        break;
    case RC_FLASH_FINISH:
        m_processResult = L"Flash write success";
        break;
    case RC_I2C_ERROR:
        m_processResult = L"I2C communication error";
        failed = true;
        break;
    default:
        break;  // the result still reads "Writing..."
    }
    // The write is over and shown before the box opens: a report handled in
    // the box's nested loop must neither end the write a second time nor read
    // the old result back from the edit.
    m_flashWriting = 0;
    SetEnableState(EnableState::AfterFlash);
    UpdateData(false);
    if (failed) AppMessageBox(GetHwnd(), kFlashRetryText, L"error", MB_OK | MB_ICONWARNING);
}
