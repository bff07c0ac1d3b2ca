// System colours, solid brushes and FillRect. A fill is a stretch of one
// pixel of the brush's colour, so it lands wherever BitBlt draws.
#include <array>

#include "gdi/GdiObjects.h"

using tevrin::win32::DeviceContext;
using tevrin::win32::GdiKind;
using tevrin::win32::GdiTable;
using tevrin::win32::SolidBrush;

namespace {

constexpr int kSystemColors = COLOR_BTNHIGHLIGHT + 1;

// The colours of a default Windows 10 desktop.
constexpr std::array<COLORREF, kSystemColors> kSystemColorValues = [] {
  std::array<COLORREF, kSystemColors> colors{};
  colors[COLOR_SCROLLBAR] = RGB(200, 200, 200);
  colors[COLOR_WINDOW] = RGB(255, 255, 255);
  colors[COLOR_WINDOWFRAME] = RGB(100, 100, 100);
  colors[COLOR_HIGHLIGHT] = RGB(0, 120, 215);
  colors[COLOR_HIGHLIGHTTEXT] = RGB(255, 255, 255);
  colors[COLOR_BTNFACE] = RGB(240, 240, 240);
  colors[COLOR_BTNSHADOW] = RGB(160, 160, 160);
  colors[COLOR_GRAYTEXT] = RGB(109, 109, 109);
  colors[COLOR_BTNHIGHLIGHT] = RGB(255, 255, 255);
  return colors;
}();

bool BrushColor(HBRUSH brush, COLORREF& color) {
  constexpr std::array<COLORREF, 5> stock = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                             RGB(64, 64, 64), RGB(0, 0, 0)};
  for (int index = WHITE_BRUSH; index <= BLACK_BRUSH; ++index) {
    if (brush == GetStockObject(index)) {
      color = stock[static_cast<size_t>(index)];
      return true;
    }
  }
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  auto solid = std::dynamic_pointer_cast<SolidBrush>(table.FindLocked(brush));
  if (!solid) return false;
  color = solid->color;
  return true;
}

// Changes a DC setting, returning the previous value (`failure` for a bad DC).
template <class T>
T Exchange(HDC dc, T DeviceContext::*field, T value, T failure) {
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  auto context = table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext);
  if (!context) {
    SetLastError(ERROR_INVALID_HANDLE);
    return failure;
  }
  T previous = (*context).*field;
  (*context).*field = value;
  return previous;
}

}  // namespace

extern "C" DWORD WINAPI GetSysColor(int index) {
  return index >= 0 && index < kSystemColors ? kSystemColorValues[static_cast<size_t>(index)] : 0;
}

// One brush per colour for the whole process; DeleteObject leaves it, as on Windows.
extern "C" HBRUSH WINAPI GetSysColorBrush(int index) {
  if (index < 0 || index >= kSystemColors) return nullptr;
  static const std::array<HBRUSH, kSystemColors> brushes = [] {
    std::array<HBRUSH, kSystemColors> made{};
    for (size_t i = 0; i < made.size(); ++i) {
      auto brush = std::make_shared<SolidBrush>(kSystemColorValues[i]);
      brush->stock = true;
      made[i] = static_cast<HBRUSH>(GdiTable::Instance().Insert(std::move(brush)));
    }
    return made;
  }();
  return brushes[static_cast<size_t>(index)];
}

extern "C" HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  return static_cast<HBRUSH>(GdiTable::Instance().Insert(std::make_shared<SolidBrush>(color & 0x00FFFFFF)));
}

extern "C" int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  COLORREF color = 0;
  if (rect == nullptr || !BrushColor(brush, color)) {
    SetLastError(rect == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return 0;
  }
  if (rect->right <= rect->left || rect->bottom <= rect->top) return 1;
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 1, 1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP pixel = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC source = CreateCompatibleDC(nullptr);
  if (!pixel || !source) {
    if (pixel) DeleteObject(pixel);
    if (source) DeleteDC(source);
    return 0;
  }
  *static_cast<uint32_t*>(bits) = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  HGDIOBJ previous = SelectObject(source, pixel);
  BOOL done = StretchBlt(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, source, 0, 0,
                         1, 1, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(pixel);
  return done ? 1 : 0;
}

extern "C" int WINAPI SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Exchange(dc, &DeviceContext::backgroundMode, mode, 0);
}

extern "C" COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
  return Exchange(dc, &DeviceContext::textColor, color, static_cast<COLORREF>(0xFFFFFFFF));
}

extern "C" COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
  return Exchange(dc, &DeviceContext::backgroundColor, color, static_cast<COLORREF>(0xFFFFFFFF));
}
