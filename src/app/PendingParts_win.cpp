// Operations that start-up and shutdown call and that belong to subsystems
// still being built. Each one moves to its subsystem's file when that
// subsystem lands; until then it does nothing, so the window runs without it.
#include "app/VantrelDlg_win.h"

void CVantrelDlg::StartReceiveThread(uint16_t) {}
void CVantrelDlg::StopReceiveThread() {}
bool CVantrelDlg::FindSubBoard() { return false; }
bool CVantrelDlg::OpenSubBoard() { return false; }
void CVantrelDlg::CloseSubBoard() {}
HANDLE CVantrelDlg::DeviceHandle() const { return nullptr; }
void CVantrelDlg::SendStopFrame() {}
void CVantrelDlg::SendCommSettings() {}
bool CVantrelDlg::RegisterHandleNotification(HANDLE) { return false; }
void CVantrelDlg::UnregisterHandleNotification() {}
void CVantrelDlg::RegisterInterfaceNotification() {}
void CVantrelDlg::UnregisterInterfaceNotification() {}
void CVantrelDlg::FreeReportQueue() {}
void CVantrelDlg::FreeFlashImage() {}
void CVantrelDlg::ClearLogData() {}
void CVantrelDlg::UpdateGraphGeometry() {}
void CVantrelDlg::RegisterLayout() {}
void CVantrelDlg::CreateGraphSettingDialog() {}
void CVantrelDlg::DestroyGraphSettingDialog() {}
void CVantrelDlg::LoadBatteryBitmap() {}
void CVantrelDlg::InitZoomControls() {}
void CVantrelDlg::LoadLog() {}
