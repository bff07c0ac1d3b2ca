// Painting requests and keyboard focus. Window surfaces keep what was drawn,
// so there is nothing to repaint: no WM_PAINT is ever sent.
#include <windows.h>

namespace {

thread_local HWND focus = nullptr;

BOOL CheckWindow(HWND window) {
  if (IsWindow(window)) return TRUE;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}

}  // namespace

extern "C" BOOL WINAPI UpdateWindow(HWND window) {
  return CheckWindow(window);
}

// A null window stands for all windows, as on Windows.
extern "C" BOOL WINAPI InvalidateRect(HWND window, const RECT*, BOOL) {
  return window == nullptr ? TRUE : CheckWindow(window);
}

extern "C" HWND WINAPI GetFocus(void) {
  if (focus != nullptr && !IsWindow(focus)) focus = nullptr;
  return focus;
}

// Windows of the calling thread only (ERROR_ACCESS_DENIED otherwise); the
// window losing focus gets WM_KILLFOCUS, the one gaining it WM_SETFOCUS.
extern "C" HWND WINAPI SetFocus(HWND window) {
  if (window != nullptr) {
    if (!CheckWindow(window)) return nullptr;
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
  }
  HWND previous = GetFocus();
  if (previous == window) return previous;
  focus = window;
  if (previous) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  if (window) SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}
