#include "ui/AboutDlg_win.h"

#include "fw/VersionInfo_win.h"
#include "resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const std::wstring name = GetVersionString(kVersionProductName);
    const std::wstring version = GetVersionString(kVersionText);
    SetItemText(IDC_ABOUT_NAME, name + L" " + version);
    SetItemText(IDC_ABOUT_COPYRIGHT, GetVersionString(kVersionCopyright));
    return TRUE;
}
