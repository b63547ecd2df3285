#pragma once
// "Communicate": edits the period of measure, the bus and the I2C clock in
// place. Cancel leaves them untouched.
#include "comm/CommSettings.h"
#include "fw/Dialog_win.h"

class CCommSettingDlg : public CDialog {
public:
    explicit CCommSettingDlg(CommSettingValues& settings);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnSelChangeCommType();

    CommSettingValues& m_settings;
};
