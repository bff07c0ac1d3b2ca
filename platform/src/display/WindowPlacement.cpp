#include "display/WindowPlacement.h"

#include "windows/Desktop.h"
#include "windows/WindowFrame.h"

namespace tevrin::win32::display {

bool ReadPlacement(HWND handle, WindowPlacement& placement) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.PeekLocked(handle);
  if (!window || window->messageOnly) return false;
  RECT insets = FrameInsets(window->style, window->exStyle, false);
  SIZE client = ClientSize(window->style, window->exStyle, window->width, window->height);
  placement.parent = window->parent;
  placement.title = window->text;
  placement.client = RECT{window->x + insets.left, window->y + insets.top, window->x + insets.left + client.cx,
                          window->y + insets.top + client.cy};
  placement.shown = (window->style & WS_VISIBLE) && !(window->style & WS_MINIMIZE);
  return true;
}

void ApplyClientGeometry(HWND handle, int x, int y, bool moved, int width, int height) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.PeekLocked(handle);
  if (!window) return;
  RECT insets = FrameInsets(window->style, window->exStyle, false);
  if (moved) {
    window->x = x - insets.left;
    window->y = y - insets.top;
  }
  window->width = width + insets.left + insets.right;
  window->height = height + insets.top + insets.bottom;
}

}  // namespace tevrin::win32::display
