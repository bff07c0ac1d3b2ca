// The dialog-item shortcuts: each finds the control by its ID and sends it
// the message a program would, so they work from any thread.
#include <cerrno>
#include <cstdlib>
#include <string>

#include "controls/Control.h"
#include "dialogs/Dialog.h"

using tevrin::win32::TextOf;

extern "C" LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

extern "C" BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextA(item, text) : FALSE;
}

extern "C" UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(item, buffer, size));
}

extern "C" BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  std::string text = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
  return SetDlgItemTextA(dialog, id, text.c_str());
}

// As on Windows: leading blanks are skipped and a minus sign is taken only
// when signed; anything else but digits, or a number out of range, fails.
extern "C" UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  HWND item = GetDlgItem(dialog, id);
  if (!item) return 0;
  std::string text = TextOf(item);
  size_t at = text.find_first_not_of(' ');
  if (at == std::string::npos) return 0;
  bool negative = isSigned && text[at] == '-';
  std::string digits = text.substr(at + (negative ? 1 : 0));
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  errno = 0;
  unsigned long long magnitude = std::strtoull(digits.c_str(), nullptr, 10);
  unsigned long long limit = !isSigned ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
  if (errno == ERANGE || magnitude > limit) return 0;
  if (translated) *translated = TRUE;
  return negative ? static_cast<UINT>(0u - static_cast<UINT>(magnitude)) : static_cast<UINT>(magnitude);
}

extern "C" BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return FALSE;
  SendMessageA(item, BM_SETCHECK, check, 0);
  return TRUE;
}

extern "C" UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

extern "C" BOOL WINAPI CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  if (!IsWindow(dialog)) return FALSE;
  for (int id = firstId; id <= lastId; ++id) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

extern "C" LONG WINAPI GetDialogBaseUnits(void) {
  return MAKELONG(tevrin::win32::kBaseUnitX, tevrin::win32::kBaseUnitY);
}

extern "C" BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
  if (rect == nullptr || !tevrin::win32::DialogStateOf(dialog)) {
    SetLastError(rect == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  rect->left = tevrin::win32::DialogUnitsToPixelsX(rect->left);
  rect->right = tevrin::win32::DialogUnitsToPixelsX(rect->right);
  rect->top = tevrin::win32::DialogUnitsToPixelsY(rect->top);
  rect->bottom = tevrin::win32::DialogUnitsToPixelsY(rect->bottom);
  return TRUE;
}
