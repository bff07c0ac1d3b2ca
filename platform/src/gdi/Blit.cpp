// BitBlt and StretchBlt between memory DCs, windows and the screen.
#include <algorithm>
#include <array>
#include <mutex>
#include <utility>

#include "display/Display.h"
#include "gdi/GdiObjects.h"
#include "gdi/Surface.h"

using tevrin::win32::Bitmap;
using tevrin::win32::DeviceContext;
using tevrin::win32::Extent;
using tevrin::win32::GdiKind;
using tevrin::win32::GdiTable;
using tevrin::win32::PixelView;
using tevrin::win32::Surface;

namespace {

// What a DC draws on, held alive for the length of one copy.
struct Target {
  PixelView view;
  std::shared_ptr<Bitmap> bitmap;    // memory DCs
  std::shared_ptr<Surface> surface;  // windows and the screen
  HWND window = nullptr;
  SIZE size{};
  SIZE clip{};
  std::array<uint32_t, 256> colors{};  // a snapshot, so a colour-table change cannot race the copy
};

bool Resolve(HDC dc, Target& target) {
  {
    GdiTable& table = GdiTable::Instance();
    std::lock_guard lock(table.mutex);
    auto context = table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext);
    if (!context) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    if (context->memory) {
      target.bitmap = context->bitmap;
      target.colors = target.bitmap->colors;
      target.view = target.bitmap->View();
      target.view.colors = target.colors.data();
      return true;
    }
    target.window = context->window;
  }
  target.surface = target.window ? tevrin::win32::WindowSurface(target.window, target.size, target.clip)
                                 : tevrin::win32::ScreenSurface(target.size, target.clip);
  if (!target.surface) SetLastError(ERROR_INVALID_HANDLE);  // the window is gone
  return target.surface != nullptr;
}

// Under the surface's lock: brings it to the window's size and clips to what may be drawn.
void PrepareSurfaceLocked(Target& target) {
  if (!target.surface) return;
  target.surface->ResizeLocked(target.size.cx, target.size.cy);
  target.view = target.surface->ViewLocked();
  target.view.width = std::min<int>(target.view.width, target.clip.cx);
  target.view.height = std::min<int>(target.view.height, target.clip.cy);
}

BOOL Copy(HDC destDc, Extent destX, Extent destY, HDC sourceDc, Extent sourceX, Extent sourceY, DWORD rop) {
  if (rop != SRCCOPY) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  Target dest, source;
  if (!Resolve(destDc, dest) || !Resolve(sourceDc, source)) return FALSE;
  std::unique_lock<std::mutex> destLock, sourceLock;
  if (dest.surface && source.surface && dest.surface != source.surface) {
    std::lock(dest.surface->mutex, source.surface->mutex);
    destLock = std::unique_lock(dest.surface->mutex, std::adopt_lock);
    sourceLock = std::unique_lock(source.surface->mutex, std::adopt_lock);
  } else if (dest.surface) {
    destLock = std::unique_lock(dest.surface->mutex);
  } else if (source.surface) {
    sourceLock = std::unique_lock(source.surface->mutex);
  }
  PrepareSurfaceLocked(dest);
  if (source.surface && source.surface == dest.surface) {
    source.view = dest.view;
  } else {
    PrepareSurfaceLocked(source);
  }
  tevrin::win32::StretchPixels(dest.view, destX, destY, source.view, sourceX, sourceY);
  destLock = {};
  sourceLock = {};
  tevrin::win32::display::WindowDrawn(dest.window);
  return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                              DWORD rop) {
  return Copy(dest, Extent{x, width}, Extent{y, height}, source, Extent{sourceX, width}, Extent{sourceY, height}, rop);
}

extern "C" BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                                  int sourceWidth, int sourceHeight, DWORD rop) {
  return Copy(dest, Extent{x, width}, Extent{y, height}, source, Extent{sourceX, sourceWidth},
              Extent{sourceY, sourceHeight}, rop);
}

// Returns the previous mode, or 0 for a bad DC or mode.
extern "C" int WINAPI SetStretchBltMode(HDC dc, int mode) {
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  auto context = table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext);
  if (!context) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (mode < BLACKONWHITE || mode > HALFTONE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return std::exchange(context->stretchMode, mode);
}

extern "C" int WINAPI GetStretchBltMode(HDC dc) {
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  auto context = table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext);
  if (!context) SetLastError(ERROR_INVALID_HANDLE);
  return context ? context->stretchMode : 0;
}
