// Where a window's client area sits on the X server, and back: X windows are
// the client areas, while Windows reports the outer rectangle, frame included.
#pragma once

#include <windows.h>

#include <string>

namespace tevrin::win32::display {

// A window's state as the screen shows it. The client rectangle is relative
// to the parent's client area (top-level: to the screen).
struct WindowPlacement {
  HWND parent = nullptr;
  std::string title;
  RECT client{};
  bool shown = false;  // visible and not minimised
};

// False when the window is gone or is message-only.
bool ReadPlacement(HWND window, WindowPlacement& placement);

// The outer rectangle Windows would report for a client area that the window
// manager moved (position known) or resized.
void ApplyClientGeometry(HWND window, int x, int y, bool moved, int width, int height);

}  // namespace tevrin::win32::display
