// EnumChildWindows over a snapshot of the tree, so the callback may create
// or destroy windows.
#include "windows/Desktop.h"

using tevrin::win32::Desktop;
using tevrin::win32::Window;

namespace {

void CollectDescendants(Desktop& desktop, const Window& window, std::vector<HWND>& out) {
  for (HWND child : window.children) {
    Window* found = desktop.PeekLocked(child);
    if (!found) continue;
    out.push_back(child);
    CollectDescendants(desktop, *found, out);
  }
}

}  // namespace

extern "C" BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam) {
  if (callback == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<HWND> descendants;
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* window = desktop.FindLocked(parent);
    if (!window) return FALSE;
    CollectDescendants(desktop, *window, descendants);
  }
  for (HWND child : descendants) {
    if (IsWindow(child) && !callback(child, lParam)) break;
  }
  return TRUE;
}
