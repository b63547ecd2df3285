// The sub board plugged in or pulled out while the tool runs: device
// notifications and WM_DEVICECHANGE.
#include "app/VantrelDlg_win.h"

#include "app/RunMode.h"
#include "fw/MessageBox_win.h"

namespace {

// The HID interface class. Arrival and removal of any HID device reach us;
// Find then tells whether the sub board is among them.
constexpr GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// Lets the device stack settle before the interfaces are listed again.
constexpr DWORD kSettleMs = 50;

static_assert(sizeof(void*) != 4 || sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32,
              "interface filter size differs from what a 32-bit process passes");
static_assert(sizeof(void*) != 4 || sizeof(DEV_BROADCAST_HANDLE) == 44,
              "handle filter size differs from what a 32-bit process passes");

} // namespace

void CVantrelDlg::RegisterInterfaceNotification()
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kHidInterfaceClass;
    // A failed registration only means that plugging in is not noticed.
    m_interfaceNotification = RegisterDeviceNotificationW(GetHwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void CVantrelDlg::UnregisterInterfaceNotification()
{
    if (!m_interfaceNotification) return;
    UnregisterDeviceNotification(m_interfaceNotification);
    m_interfaceNotification = nullptr;
}

bool CVantrelDlg::RegisterHandleNotification(HANDLE device)
{
    UnregisterHandleNotification();
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof(filter);
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = device;
    m_handleNotification = RegisterDeviceNotificationW(GetHwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    return m_handleNotification != nullptr;
}

void CVantrelDlg::UnregisterHandleNotification()
{
    if (!m_handleNotification) return;
    UnregisterDeviceNotification(m_handleNotification);
    m_handleNotification = nullptr;
}

void CVantrelDlg::OnDeviceChange(UINT event, const DEV_BROADCAST_HDR* record)
{
    // Demo mode 2 runs without a board and never changes its connection.
    if (!record || m_demoMode == kDemoMode2) return;

    if (record->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
        if (event == DBT_DEVICEARRIVAL)
            OnSubBoardArrival();
        else if (event == DBT_DEVICEREMOVECOMPLETE)
            OnSubBoardRemoval();
    } else if (record->dbch_devicetype == DBT_DEVTYP_HANDLE && event == DBT_DEVICEREMOVEPENDING) {
        OnHandleRemovePending();
    }
}

void CVantrelDlg::OnSubBoardArrival()
{
    // One board at a time: a second one is left alone.
    if (DeviceHandle() != nullptr) return;
    Sleep(kSettleMs);
    if (!FindSubBoard()) return;  // some other HID device
    if (!OpenSubBoard()) return;  // not usable yet; a later arrival tries again
    StartReceiveThread(m_settings.ReceiveInterval);
    SendCommSettings();
    RegisterHandleNotification(DeviceHandle());
    ShowConnected(true);
}

void CVantrelDlg::OnSubBoardRemoval()
{
    if (DeviceHandle() == nullptr) return;
    Sleep(kSettleMs);
    // Still a sub board present: some other HID device went away.
    if (FindSubBoard()) return;
    TearDownSubBoard();
    EndWorkAfterRemoval();
}

void CVantrelDlg::OnHandleRemovePending()
{
    // The open handle itself is going: no need to look for the board.
    TearDownSubBoard();
    EndWorkAfterRemoval();
}

void CVantrelDlg::TearDownSubBoard()
{
    m_flashSession.End();  // no flash frame after the stop frame
    if (m_demoMode == kNormalMode)
        SendStopFrame();  // fails quietly when the board is already gone
    else
        KillTimer(GetHwnd(), kDemoTimerId);
    SetEnableState(EnableState::Idle);
    // The thread must be gone before its handle is closed.
    StopReceiveThread();
    CloseSubBoard();
    UnregisterHandleNotification();
    ShowConnected(false);
}

void CVantrelDlg::EndWorkAfterRemoval()
{
    if (Measuring() == 1) {
        SetMeasuring(0);
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
