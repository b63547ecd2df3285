// The main window's side of the sub board: sending frames and the
// communication settings, and the board plugged in or pulled out while the
// tool runs (WM_DEVICECHANGE). The board connection part does the device
// work; the window shows what it means.
#include "app/VantrelDlg_win.h"

#include <cstddef>
#include <string>

#include "app/RunMode.h"
#include "comm/CommSettingDlg_win.h"
#include "comm/CommSettings.h"
#include "fw/MessageBox_win.h"

void CVantrelDlg::SendFrame(const OutputFrame& frame)
{
    m_board.SendFrame(frame);  // writes nothing in the demo modes
}

void CVantrelDlg::SendStopFrame()
{
    SendFrame(BuildStopFrame());
}

uint32_t CVantrelDlg::ReceiveIntervalMs() const
{
    return static_cast<uint32_t>(m_settings.ReceiveInterval) * 1000u;
}

void CVantrelDlg::OnCommunicate()
{
    CommSettingValues values{m_settings.ReceiveInterval, m_settings.I2cClock, m_settings.CommType};
    CCommSettingDlg dlg(values);
    if (dlg.DoModal(GetHwnd()) != IDOK) return;
    m_settings.ReceiveInterval = values.ReceiveInterval;
    m_settings.I2cClock = values.I2cClock;
    m_settings.CommType = values.CommType;

    // The receive thread picks the new period up on its next report; it is
    // updated even without a board, so the next one starts with it.
    m_board.SetReceiveIntervalMs(ReceiveIntervalMs());
    if (m_board.Connected()) SendCommSettings();
    ShowInterval();
}

void CVantrelDlg::SendCommSettings()
{
    const OutputFrame frame =
        BuildCommSettingsFrame(m_settings.ReceiveInterval, m_settings.I2cClock, m_settings.CommType);
    // Logged in every run mode; nothing is written in the demo modes.
    AddMessageRow(CommSettingsMessage(m_settings.ReceiveInterval, m_settings.I2cClock, m_settings.CommType));
    SendFrame(frame);
}

namespace {

// The interface path of a removal record; empty when the record is too
// short to hold one.
std::wstring RemovedInterfacePath(const DEV_BROADCAST_HDR* record)
{
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (record->dbch_size <= nameOffset) return std::wstring();
    const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(record);
    const size_t maxChars = (record->dbch_size - nameOffset) / sizeof(wchar_t);
    size_t length = 0;
    while (length < maxChars && iface->dbcc_name[length] != 0) ++length;
    return std::wstring(iface->dbcc_name, length);
}

HANDLE RemovedHandle(const DEV_BROADCAST_HDR* record)
{
    if (record->dbch_size < offsetof(DEV_BROADCAST_HANDLE, dbch_hdevnotify)) return nullptr;
    return reinterpret_cast<const DEV_BROADCAST_HANDLE*>(record)->dbch_handle;
}

} // namespace

void CVantrelDlg::OnDeviceChange(UINT event, const DEV_BROADCAST_HDR* record)
{
    // Demo mode 2 runs without a board and never changes its connection.
    if (!record || m_demoMode == kDemoMode2) return;

    if (record->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
        if (event == DBT_DEVICEARRIVAL) {
            if (!m_board.ConnectOnArrival(ReceiveIntervalMs())) return;
            SendCommSettings();
            ShowConnected(true);
        } else if (event == DBT_DEVICEREMOVECOMPLETE && m_board.OpenBoardWentAway(RemovedInterfacePath(record))) {
            TearDownSubBoard();
            EndWorkAfterRemoval();
        }
    } else if (record->dbch_devicetype == DBT_DEVTYP_HANDLE &&
               (event == DBT_DEVICEREMOVEPENDING || event == DBT_DEVICEREMOVECOMPLETE) &&
               m_board.IsOpenHandle(RemovedHandle(record))) {
        // The open handle itself is going (orderly) or gone (surprise
        // removal): no need to look for the board.
        TearDownSubBoard();
        EndWorkAfterRemoval();
    }
}

void CVantrelDlg::OnBoardLost()
{
    // A stale report of a board torn down since (or of one before the
    // board open now) finds the flag cleared.
    if (!m_board.BoardLost()) return;
    TearDownSubBoard();
    EndWorkAfterRemoval();
}

void CVantrelDlg::TearDownSubBoard()
{
    m_flash.End();  // no flash frame after the stop frame
    if (m_demoMode == kNormalMode)
        SendStopFrame();  // fails quietly when the board is already gone
    else
        m_measurement.StopDemoTimer();
    SetEnableState(EnableState::Idle);
    m_board.Disconnect();
    ShowConnected(false);
}

void CVantrelDlg::EndWorkAfterRemoval()
{
    if (m_board.Measuring()) {
        m_board.SetMeasuring(false);
        AppMessageBox(GetHwnd(), L"Disconnect the USB device", L"error", MB_ICONWARNING);
    } else if (m_flashWriting == 1) {
        // Both removal paths end a flash write alike, so the buttons come
        // back and the user learns why the write stopped.
        UpdateData(true);
        m_flashWriting = 0;
        SetEnableState(EnableState::AfterFlash);
        AppMessageBox(GetHwnd(), L"Disconnect the USB device", L"error", MB_ICONWARNING);
        m_processResult = L"USB communication error";
        UpdateData(false);
    }
}
