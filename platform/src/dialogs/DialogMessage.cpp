// IsDialogMessage: the keyboard of a dialog. Enter presses the default
// button (IDOK when there is none), Escape presses IDCANCEL, Tab moves the
// focus to the next tab stop; a disabled button is not pressed. Every other
// message for the dialog or its controls is dispatched.
#include "controls/Control.h"
#include "dialogs/Dialog.h"

namespace tevrin::win32 {
namespace {

void Press(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button && !IsWindowEnabled(button)) return;
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int DefaultId(HWND dialog) {
  LRESULT found = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(found) == DC_HASDEFID ? LOWORD(found) : IDOK;
}

void FocusNextTabStop(HWND dialog) {
  std::vector<HWND> children = ChildrenOf(dialog);
  HWND focus = GetFocus();
  size_t start = 0;
  for (size_t i = 0; i < children.size(); ++i) {
    if (children[i] == focus) start = i + 1;
  }
  for (size_t step = 0; step < children.size(); ++step) {
    HWND candidate = children[(start + step) % children.size()];
    DWORD style = StyleOf(candidate);
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
      SetFocus(candidate);
      return;
    }
  }
}

}  // namespace
}  // namespace tevrin::win32

extern "C" BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message) {
  if (dialog == nullptr || message == nullptr || !tevrin::win32::IsWithin(dialog, message->hwnd)) return FALSE;
  if (message->message == WM_KEYDOWN) {
    switch (message->wParam) {
      case VK_RETURN:
        tevrin::win32::Press(dialog, tevrin::win32::DefaultId(dialog));
        return TRUE;
      case VK_ESCAPE:
        tevrin::win32::Press(dialog, IDCANCEL);
        return TRUE;
      case VK_TAB:
        tevrin::win32::FocusNextTabStop(dialog);
        return TRUE;
      default:
        break;
    }
  }
  DispatchMessageA(message);
  return TRUE;
}

extern "C" BOOL WINAPI IsDialogMessageW(HWND dialog, LPMSG message) {
  return IsDialogMessageA(dialog, message);
}
