#include "link/DeviceNotification_win.h"

#include <dbt.h>

static_assert(sizeof(void*) != 4 || sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32,
              "interface filter size differs from what a 32-bit process passes");
static_assert(sizeof(void*) != 4 || sizeof(DEV_BROADCAST_HANDLE) == 44,
              "handle filter size differs from what a 32-bit process passes");

bool CDeviceNotification::RegisterInterfaceClass(HWND window, const GUID& interfaceClass)
{
    Reset();
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = interfaceClass;
    m_notify = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    return m_notify != nullptr;
}

bool CDeviceNotification::RegisterHandle(HWND window, HANDLE device)
{
    Reset();
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof(filter);
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = device;
    m_notify = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    return m_notify != nullptr;
}

void CDeviceNotification::Reset()
{
    if (!m_notify) return;
    UnregisterDeviceNotification(m_notify);
    m_notify = nullptr;
}
