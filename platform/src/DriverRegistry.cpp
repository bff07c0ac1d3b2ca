// Placeholder until the driver registry lands: no driver knows any path.
#include <tevrin/win32/Driver.h>

namespace tevrin::win32 {
HANDLE OpenDevicePath(const char*, DWORD, DWORD) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  return INVALID_HANDLE_VALUE;
}
}  // namespace tevrin::win32
