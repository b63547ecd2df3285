#pragma once
#include "fw/Dialog_win.h"

// The about box: product name, version and legal notice from the version block.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;
};
