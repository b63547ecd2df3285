#pragma once
// "Communicate": edits the period of measure, the bus and the I2C clock of
// the settings record in place. Cancel leaves the record untouched.
#include "app/AppSettings.h"
#include "fw/Dialog_win.h"

class CCommSettingDlg : public CDialog {
public:
    explicit CCommSettingDlg(CAppSettings& settings);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnSelChangeCommType();

    CAppSettings& m_settings;
};
