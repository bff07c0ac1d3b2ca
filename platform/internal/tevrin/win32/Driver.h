// The driver side of CreateFileA on a device interface path.
#pragma once

#include <windows.h>

namespace tevrin::win32 {

// Opens a device interface path ("\\?\usb#..."). Returns the new handle, or
// INVALID_HANDLE_VALUE with the last error set (ERROR_FILE_NOT_FOUND when no
// registered driver knows the path).
HANDLE OpenDevicePath(const char* path, DWORD desiredAccess, DWORD flagsAndAttributes);

}  // namespace tevrin::win32
