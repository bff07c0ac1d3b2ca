// Delivery of device-interface arrivals and removals to the windows that
// registered for them with RegisterDeviceNotificationA.
#pragma once

#include <windows.h>

namespace tevrin::win32 {

// Posts WM_DEVICECHANGE (DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE) with a
// DEV_BROADCAST_DEVICEINTERFACE_A for `path` to every window registered for
// `interfaceGuid` (or for all interface classes).
void NotifyDeviceInterfaceChange(bool arrival, const GUID& interfaceGuid, const char* path);

}  // namespace tevrin::win32
