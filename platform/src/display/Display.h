// The screen that windows appear on, when there is one. Without a reachable
// X display there is no display object and windows live only in memory.
// Every call returns at once: the backend does its work on a thread of its
// own, so a window procedure or an acquisition thread never waits on it.
#pragma once

#include <windows.h>

namespace tevrin::win32::display {

class Display {
 public:
  virtual ~Display() = default;

  virtual SIZE ScreenSize() const = 0;
  // Created, moved, resized, shown, hidden or retitled: the screen catches up.
  virtual void WindowChanged(HWND window) = 0;
  // Something was drawn into the window's surface; the newest picture is shown.
  virtual void WindowDrawn(HWND window) = 0;
  virtual void WindowGone(HWND window) = 0;
};

// The process's display, connected on first use; null when headless.
Display* Active();

inline void WindowChanged(HWND window) {
  if (Display* display = Active()) display->WindowChanged(window);
}
inline void WindowDrawn(HWND window) {
  if (Display* display = Active()) display->WindowDrawn(window);
}
inline void WindowGone(HWND window) {
  if (Display* display = Active()) display->WindowGone(window);
}

}  // namespace tevrin::win32::display
