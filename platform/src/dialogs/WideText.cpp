// The W entry points: wide text (wchar_t code points, or UTF-16 pairs) is
// converted to and from the UTF-8 the windows keep, and the A call does the
// rest. Messages that carry no text pass unchanged.
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/Control.h"

namespace {

std::string Narrow(LPCWSTR wide) {
  if (wide == nullptr) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, narrow.data(), size, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(size) - 1);
  return narrow;
}

std::wstring Widen(const std::string& narrow) {
  if (narrow.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(size, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, narrow.data(), static_cast<int>(narrow.size()), wide.data(), size);
  return wide;
}

// Copies at most size - 1 characters and a terminator; the count copied.
LRESULT CopyWide(const std::wstring& text, LPWSTR buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  size_t count = std::min(text.size(), size - 1);
  std::wmemcpy(buffer, text.data(), count);
  buffer[count] = L'\0';
  return static_cast<LRESULT>(count);
}

std::string WindowText(HWND window) {
  return tevrin::win32::TextOf(window);
}

std::string ComboItem(HWND combo, WPARAM index, bool* found) {
  LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  *found = length != CB_ERR;
  if (!*found) return {};
  std::string item(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
  item.resize(static_cast<size_t>(length));
  return item;
}

LRESULT SendTabItem(HWND window, UINT message, WPARAM index, TCITEMW* wide) {
  if (wide == nullptr) return SendMessageA(window, message, index, 0);
  std::string text = (wide->mask & TCIF_TEXT) ? Narrow(wide->pszText) : std::string{};
  bool reading = message == TCM_GETITEMA;
  if (reading) text.assign(static_cast<size_t>(std::max(wide->cchTextMax, 0)) * 4 + 1, '\0');
  TCITEMA narrow{.mask = wide->mask,
                 .dwState = wide->dwState,
                 .dwStateMask = wide->dwStateMask,
                 .pszText = text.data(),
                 .cchTextMax = static_cast<int>(text.size()),
                 .iImage = wide->iImage,
                 .lParam = wide->lParam};
  LRESULT result = SendMessageA(window, message, index, reinterpret_cast<LPARAM>(&narrow));
  if (reading && result) {
    if ((wide->mask & TCIF_TEXT) && wide->pszText && wide->cchTextMax > 0) {
      CopyWide(Widen(text.c_str()), wide->pszText, static_cast<size_t>(wide->cchTextMax));
    }
    wide->lParam = narrow.lParam;
  }
  return result;
}

}  // namespace

extern "C" LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto text = [&] { return Narrow(reinterpret_cast<LPCWSTR>(lParam)); };
  switch (message) {
    case WM_SETTEXT:
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING: {
      if (lParam == 0) return SendMessageA(window, message, wParam, 0);
      std::string narrow = text();
      return SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(narrow.c_str()));
    }
    case WM_GETTEXT:
      return CopyWide(Widen(WindowText(window)), reinterpret_cast<LPWSTR>(lParam), wParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(Widen(WindowText(window)).size());
    case CB_GETLBTEXT:
    case CB_GETLBTEXTLEN: {
      bool found = false;
      std::wstring item = Widen(ComboItem(window, wParam, &found));
      if (!found) return CB_ERR;
      if (message == CB_GETLBTEXTLEN) return static_cast<LRESULT>(item.size());
      return CopyWide(item, reinterpret_cast<LPWSTR>(lParam), item.size() + 1);
    }
    case TCM_INSERTITEMW:
      return SendTabItem(window, TCM_INSERTITEMA, wParam, reinterpret_cast<TCITEMW*>(lParam));
    case TCM_SETITEMW:
      return SendTabItem(window, TCM_SETITEMA, wParam, reinterpret_cast<TCITEMW*>(lParam));
    case TCM_GETITEMW:
      return SendTabItem(window, TCM_GETITEMA, wParam, reinterpret_cast<TCITEMW*>(lParam));
    default:
      return SendMessageA(window, message, wParam, lParam);
  }
}

extern "C" BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text) {
  std::string narrow = Narrow(text);
  return SetWindowTextA(window, narrow.c_str());
}

extern "C" int WINAPI GetWindowTextW(HWND window, LPWSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  buffer[0] = L'\0';
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(CopyWide(Widen(WindowText(window)), buffer, static_cast<size_t>(size)));
}

extern "C" BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextW(item, text) : FALSE;
}

extern "C" UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && size > 0) buffer[0] = L'\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(item, buffer, size));
}

extern "C" LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageW(item, message, wParam, lParam) : 0;
}

extern "C" INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND parent, DLGPROC procedure,
                                          LPARAM param) {
  if (name == nullptr || IS_INTRESOURCE(name)) {
    return DialogBoxParamA(instance, reinterpret_cast<LPCSTR>(name), parent, procedure, param);
  }
  std::string narrow = Narrow(name);
  return DialogBoxParamA(instance, narrow.c_str(), parent, procedure, param);
}

extern "C" HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND parent, DLGPROC procedure,
                                          LPARAM param) {
  if (name == nullptr || IS_INTRESOURCE(name)) {
    return CreateDialogParamA(instance, reinterpret_cast<LPCSTR>(name), parent, procedure, param);
  }
  std::string narrow = Narrow(name);
  return CreateDialogParamA(instance, narrow.c_str(), parent, procedure, param);
}
