// Placeholder until window messages land: nobody is registered.
#include <tevrin/win32/DeviceNotify.h>

namespace tevrin::win32 {
void NotifyDeviceInterfaceChange(bool, const GUID&, const char*) {}
}  // namespace tevrin::win32
