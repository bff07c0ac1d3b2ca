// Helpers the built-in controls share, and the registration of their classes
// when the library loads, so CreateWindowExA finds them without any call first.
#include "controls/Control.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace tevrin::win32 {

void NotifyCommand(HWND control, int code) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return;
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, NMHDR& header, UINT code) {
  header.hwndFrom = control;
  header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  header.code = code;
  HWND parent = GetParent(control);
  if (parent == nullptr) return 0;
  return SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

std::vector<HWND> ChildrenOf(HWND parent) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.PeekLocked(parent);
  return window ? window->children : std::vector<HWND>{};
}

DWORD StyleOf(HWND window) {
  return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
}

std::string TextOf(HWND window) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* found = desktop.PeekLocked(window);
  return found ? found->text : std::string{};
}

void StoreText(HWND window, const std::string& text) {
  DefWindowProcA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int CopyOut(const std::string& text, char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  size_t count = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

namespace {

void Register(const char* name, WNDPROC procedure, int extra) {
  WNDCLASSEXA windowClass{.cbSize = sizeof(WNDCLASSEXA),
                          .style = 0,
                          .lpfnWndProc = procedure,
                          .cbClsExtra = 0,
                          .cbWndExtra = extra,
                          .hInstance = nullptr,
                          .hIcon = nullptr,
                          .hCursor = nullptr,
                          .hbrBackground = nullptr,
                          .lpszMenuName = nullptr,
                          .lpszClassName = name,
                          .hIconSm = nullptr};
  RegisterClassExA(&windowClass);
}

const bool kClassesRegistered = [] {
  Register(kDialogClass, DialogProcedure, kDialogWindowExtra);
  Register("BUTTON", ButtonProcedure, 0);
  Register("STATIC", StaticProcedure, 0);
  Register("EDIT", EditProcedure, 0);
  Register("COMBOBOX", ComboBoxProcedure, 0);
  Register(TRACKBAR_CLASSA, TrackbarProcedure, 0);
  Register(UPDOWN_CLASSA, UpDownProcedure, 0);
  Register(WC_TABCONTROLA, TabControlProcedure, 0);
  return true;
}();

}  // namespace
}  // namespace tevrin::win32

extern "C" BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (init == nullptr || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

extern "C" void WINAPI InitCommonControls(void) {}
