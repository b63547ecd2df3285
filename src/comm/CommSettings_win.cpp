// The "Communicate" button and the communication-settings command.
#include "app/VantrelDlg_win.h"

#include "comm/CommSettingDlg_win.h"
#include "comm/CommSettings.h"
#include "protocol/Frames.h"

void CVantrelDlg::OnCommunicate()
{
    CCommSettingDlg dlg(m_settings);
    if (dlg.DoModal(GetHwnd()) != IDOK) return;

    // The receive thread picks the new period up on its next report; it is
    // updated even without a board, so the next one starts with it.
    SetReceiveIntervalMs(static_cast<uint32_t>(m_settings.ReceiveInterval) * 1000u);
    if (DeviceHandle() != nullptr) SendCommSettings();
    ShowInterval();
}

void CVantrelDlg::SendCommSettings()
{
    const OutputFrame frame =
        BuildCommSettingsFrame(m_settings.ReceiveInterval, m_settings.I2cClock, m_settings.CommType);
    // Logged in every run mode; SendFrame itself writes nothing in the demo modes.
    AddMessageRow(CommSettingsMessage(m_settings.ReceiveInterval, m_settings.I2cClock, m_settings.CommType));
    SendFrame(frame);
}
