// Enabling and disabling windows: the WS_DISABLED style, with WM_ENABLE sent
// to the window when it changes.
#include "windows/Desktop.h"

using tevrin::win32::Desktop;
using tevrin::win32::Window;

extern "C" BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
  BOOL wasDisabled;
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* window = desktop.FindLocked(handle);
    if (!window) return FALSE;
    wasDisabled = (window->style & WS_DISABLED) != 0;
    if (enable) window->style &= ~WS_DISABLED;
    else window->style |= WS_DISABLED;
  }
  if (wasDisabled == !enable) return wasDisabled;
  SendMessageA(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

extern "C" BOOL WINAPI IsWindowEnabled(HWND handle) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  return window && !(window->style & WS_DISABLED);
}
