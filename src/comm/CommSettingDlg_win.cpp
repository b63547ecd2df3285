#include "comm/CommSettingDlg_win.h"

#include <commctrl.h>

#include "comm/CommSettings.h"
#include "resource.h"

CCommSettingDlg::CCommSettingDlg(CommSettingValues& settings) : CDialog(IDD_COMM_SETTING), m_settings(settings) {}

BOOL CCommSettingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    HWND spin = Item(IDC_COMM_PERIOD_SPIN);
    SendMessageW(spin, UDM_SETRANGE32, kMinReceiveInterval, kMaxReceiveInterval);
    SendMessageW(spin, UDM_SETPOS32, 0, m_settings.ReceiveInterval);

    HWND type = Item(IDC_COMM_TYPE);
    SendMessageW(type, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"I2C"));
    SendMessageW(type, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"OWSI"));
    if (m_settings.CommType != kCommTypeI2c) {
        SendMessageW(type, CB_SETCURSEL, 1, 0);
        EnableItem(IDC_COMM_I2C_CLOCK, false);
    } else {
        SendMessageW(type, CB_SETCURSEL, 0, 0);
    }

    HWND clock = Item(IDC_COMM_I2C_CLOCK);
    SendMessageW(clock, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"100"));
    SendMessageW(clock, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"400"));
    SendMessageW(clock, CB_SETCURSEL, I2cClockIndex(m_settings.I2cClock), 0);
    return TRUE;
}

bool CCommSettingDlg::OnCommand(WORD id, WORD code, HWND /*control*/)
{
    if (id == IDC_COMM_TYPE && code == CBN_SELCHANGE) {
        OnSelChangeCommType();
        return true;
    }
    return false;
}

void CCommSettingDlg::OnSelChangeCommType()
{
    const LRESULT index = SendMessageW(Item(IDC_COMM_TYPE), CB_GETCURSEL, 0, 0);
    EnableItem(IDC_COMM_I2C_CLOCK, index == 0);
}

void CCommSettingDlg::OnOK()
{
    if (!UpdateData(true)) return;
    // The up-down takes the edit's text into its position if it is a valid
    // number in range, and otherwise keeps the last good one.
    const LRESULT position = SendMessageW(Item(IDC_COMM_PERIOD_SPIN), UDM_GETPOS32, 0, 0);
    m_settings.ReceiveInterval = static_cast<uint16_t>(position & 0xFFFF);
    m_settings.CommType = static_cast<uint16_t>(SendMessageW(Item(IDC_COMM_TYPE), CB_GETCURSEL, 0, 0));
    // Stored even while the clock list is disabled (OWSI).
    const LRESULT clockIndex = SendMessageW(Item(IDC_COMM_I2C_CLOCK), CB_GETCURSEL, 0, 0);
    m_settings.I2cClock = I2cClockFromIndex(static_cast<int>(clockIndex));
    EndDialog(IDOK);
}
