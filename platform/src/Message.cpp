// Stand-in until window message queues exist: no window can receive a post,
// and device-interface registrations have nobody to notify yet.
#include <windows.h>

extern "C" BOOL WINAPI PostMessageA(HWND, UINT, WPARAM, LPARAM) {
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}

extern "C" HDEVNOTIFY WINAPI RegisterDeviceNotificationA(HANDLE recipient, LPVOID filter, DWORD) {
  if (!recipient || !filter) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  static int registration;
  return &registration;
}

extern "C" BOOL WINAPI UnregisterDeviceNotification(HDEVNOTIFY handle) {
  return handle != nullptr;
}
