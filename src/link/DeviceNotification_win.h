#pragma once
// One registration for device notifications, unregistered when it goes.
#include <windows.h>

class CDeviceNotification {
public:
    CDeviceNotification() = default;
    ~CDeviceNotification() { Reset(); }
    CDeviceNotification(const CDeviceNotification&) = delete;
    CDeviceNotification& operator=(const CDeviceNotification&) = delete;

    // Arrival and removal of every interface of the class. A failed
    // registration only means that plugging in is not noticed.
    bool RegisterInterfaceClass(HWND window, const GUID& interfaceClass);
    // Removal of the device behind the open handle.
    bool RegisterHandle(HWND window, HANDLE device);
    void Reset();
    bool IsRegistered() const { return m_notify != nullptr; }

private:
    HDEVNOTIFY m_notify = nullptr;
};
