// Window placement and visibility kept as plain state. The client rectangle
// is the window less its fixed non-client frame.
#include "display/Display.h"
#include "windows/Desktop.h"
#include "windows/WindowFrame.h"

using tevrin::win32::Desktop;
using tevrin::win32::Window;

namespace {

// Runs `apply` on the window under the desktop lock; FALSE with
// ERROR_INVALID_WINDOW_HANDLE when there is none.
template <class Apply>
BOOL WithWindow(HWND handle, Apply apply) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  if (!window) return FALSE;
  apply(desktop, *window);
  return TRUE;
}

BOOL RequireRect(LPRECT rect) {
  if (rect == nullptr) SetLastError(ERROR_INVALID_PARAMETER);
  return rect != nullptr;
}

}  // namespace

extern "C" BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
  if (!RequireRect(rect)) return FALSE;
  return WithWindow(handle, [rect](Desktop&, Window& window) {
    bool minimized = window.style & WS_MINIMIZE;
    SIZE client = tevrin::win32::ClientSize(window.style, window.exStyle, window.width, window.height);
    *rect = RECT{0, 0, minimized ? 0 : client.cx, minimized ? 0 : client.cy};
  });
}

extern "C" BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
  if (!RequireRect(rect)) return FALSE;
  return WithWindow(handle, [rect](Desktop& desktop, Window& window) {
    LONG left = window.x, top = window.y;
    for (Window* parent = desktop.PeekLocked(window.parent); parent; parent = desktop.PeekLocked(parent->parent)) {
      left += parent->x;
      top += parent->y;
    }
    *rect = RECT{left, top, left + window.width, top + window.height};
  });
}

extern "C" BOOL WINAPI SetWindowPos(HWND handle, HWND, int x, int y, int width, int height, UINT flags) {
  return WithWindow(handle, [=](Desktop&, Window& window) {
    tevrin::win32::display::WindowChanged(handle);
    if (!(flags & SWP_NOMOVE)) {
      window.x = x;
      window.y = y;
    }
    if (!(flags & SWP_NOSIZE)) {
      window.width = width;
      window.height = height;
    }
    if (flags & SWP_SHOWWINDOW) window.style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) window.style &= ~WS_VISIBLE;
  });
}

extern "C" BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(handle, nullptr, x, y, width, height, SWP_NOZORDER);
}

// Returns whether the window was visible before.
extern "C" BOOL WINAPI ShowWindow(HWND handle, int command) {
  BOOL wasVisible = FALSE;
  WithWindow(handle, [&](Desktop&, Window& window) {
    tevrin::win32::display::WindowChanged(handle);
    wasVisible = (window.style & WS_VISIBLE) != 0;
    switch (command) {
      case SW_HIDE:
        window.style &= ~WS_VISIBLE;
        return;
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
      case SW_SHOWMINNOACTIVE:
        window.style |= WS_VISIBLE | WS_MINIMIZE;
        return;
      case SW_SHOWNORMAL:
      case SW_RESTORE:
        window.style = (window.style | WS_VISIBLE) & ~WS_MINIMIZE;
        return;
      default:
        window.style |= WS_VISIBLE;
        return;
    }
  });
  return wasVisible;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND handle) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.PeekLocked(handle);
  if (!window) return FALSE;
  for (; window; window = desktop.PeekLocked(window->parent)) {
    if (!(window->style & WS_VISIBLE)) return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI IsIconic(HWND handle) {
  BOOL minimized = FALSE;
  WithWindow(handle, [&](Desktop&, Window& window) { minimized = (window.style & WS_MINIMIZE) != 0; });
  return minimized;
}
