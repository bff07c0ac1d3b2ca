// DrawText without fonts: text is laid out in cells of the dialog base unit
// (8 x 16 pixels per character) on one line, which DT_CALCRECT reports;
// nothing is rendered.
#include <cwchar>

#include "gdi/GdiObjects.h"

namespace {

constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;

bool IsDeviceContext(HDC dc) {
  auto& table = tevrin::win32::GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  return table.FindLocked<tevrin::win32::DeviceContext>(dc, tevrin::win32::GdiKind::DeviceContext) != nullptr;
}

int Measure(HDC dc, int characters, LPRECT rect, UINT format) {
  if (rect == nullptr || !IsDeviceContext(dc)) {
    SetLastError(rect == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return 0;
  }
  if (format & DT_CALCRECT) {
    rect->right = rect->left + characters * kCellWidth;
    rect->bottom = rect->top + kCellHeight;
  }
  return kCellHeight;
}

int CodePoints(LPCSTR text, int length) {
  int count = 0;
  for (int i = 0; length < 0 ? text[i] != '\0' : i < length; ++i) {
    count += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
  }
  return count;
}

}  // namespace

extern "C" int WINAPI DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format) {
  return Measure(dc, text ? CodePoints(text, length) : 0, rect, format);
}

extern "C" int WINAPI DrawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format) {
  int characters = text == nullptr ? 0 : length < 0 ? static_cast<int>(std::wcslen(text)) : length;
  return Measure(dc, characters, rect, format);
}
