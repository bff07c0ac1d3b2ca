// GDI objects behind HGDIOBJ and HDC values: bitmaps, device contexts and
// the stock objects, in one process-wide table under one lock. Pixels are not
// guarded by it: as on Windows, callers order their own drawing, except on
// window surfaces, which carry their own lock.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "gdi/AlignedPixels.h"
#include "gdi/PixelCopy.h"

namespace tevrin::win32 {

class Surface;

enum class GdiKind { Bitmap, Brush, Pen, Font, Palette, Cursor, DeviceContext };

struct GdiObject {
  explicit GdiObject(GdiKind kind) : kind(kind) {}
  virtual ~GdiObject() = default;
  const GdiKind kind;
  bool stock = false;
};

struct Bitmap : GdiObject {
  Bitmap() : GdiObject(GdiKind::Bitmap) {}
  int width = 0;
  int height = 0;
  int bitCount = 32;
  int stride = 0;
  bool topDown = true;
  AlignedPixels pixels;
  std::array<uint32_t, 256> colors{};  // 0x00RRGGBB; 8-bit bitmaps only
  int colorCount = 0;
  HDC selectedInto = nullptr;

  PixelView View() const;
};

struct DeviceContext : GdiObject {
  DeviceContext() : GdiObject(GdiKind::DeviceContext) {}
  bool memory = false;             // CreateCompatibleDC; otherwise a window's or the screen's
  HWND window = nullptr;           // GetDC(window); null with !memory: the screen
  std::shared_ptr<Bitmap> bitmap;  // memory DCs: the selected bitmap
  std::unordered_map<GdiKind, HGDIOBJ> selected;
  int stretchMode = BLACKONWHITE;
  int backgroundMode = OPAQUE;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF backgroundColor = RGB(255, 255, 255);
};

// A brush of one colour (CreateSolidBrush, GetSysColorBrush). Stock brushes
// are plain objects whose colour follows from their index.
struct SolidBrush : GdiObject {
  explicit SolidBrush(COLORREF color) : GdiObject(GdiKind::Brush), color(color) {}
  COLORREF color;
};

class GdiTable {
 public:
  static GdiTable& Instance();

  HGDIOBJ Insert(std::shared_ptr<GdiObject> object);
  HGDIOBJ InsertLocked(std::shared_ptr<GdiObject> object);
  // Null when the handle names no object.
  std::shared_ptr<GdiObject> FindLocked(const void* handle) const;
  template <class T>
  std::shared_ptr<T> FindLocked(const void* handle, GdiKind kind) const {
    auto object = FindLocked(handle);
    return object && object->kind == kind ? std::static_pointer_cast<T>(object) : nullptr;
  }
  void RemoveLocked(const void* handle);
  HGDIOBJ Stock(int index) const;
  HGDIOBJ DefaultBitmap() const { return defaultBitmap_; }

  mutable std::mutex mutex;

 private:
  GdiTable();

  std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects_;
  uintptr_t nextHandle_ = 0x0A000004;
  std::array<HGDIOBJ, DC_PEN + 1> stock_{};
  HGDIOBJ defaultBitmap_ = nullptr;
};

// The window's drawing surface, made on first use; null with
// ERROR_INVALID_WINDOW_HANDLE when there is no such window. `size` receives
// the client size, `clip` the part that may be drawn (0 x 0 while minimised).
std::shared_ptr<Surface> WindowSurface(HWND window, SIZE& size, SIZE& clip);
std::shared_ptr<Surface> ScreenSurface(SIZE& size, SIZE& clip);

}  // namespace tevrin::win32
