// The GDI object table, stock objects, device contexts and selection.
#include "gdi/GdiObjects.h"

#include <algorithm>
#include <iterator>

#include "gdi/Surface.h"
#include "windows/Desktop.h"
#include "windows/WindowFrame.h"

using tevrin::win32::Bitmap;
using tevrin::win32::DeviceContext;
using tevrin::win32::GdiKind;
using tevrin::win32::GdiObject;
using tevrin::win32::GdiTable;

namespace tevrin::win32 {

namespace {

GdiKind StockKind(int index) {
  if (index <= NULL_BRUSH || index == DC_BRUSH) return GdiKind::Brush;
  if (index <= NULL_PEN || index == DC_PEN) return GdiKind::Pen;
  return index == DEFAULT_PALETTE ? GdiKind::Palette : GdiKind::Font;
}

constexpr int kUnusedStockIndex = 9;

}  // namespace

PixelView Bitmap::View() const {
  return PixelView{.bits = pixels.get(),
                   .width = width,
                   .height = height,
                   .stride = stride,
                   .bitCount = bitCount,
                   .topDown = topDown,
                   .colors = colors.data(),
                   .colorCount = colorCount};
}

GdiTable& GdiTable::Instance() {
  // Never destroyed: threads that outlive main may still release objects.
  static GdiTable* table = new GdiTable;
  return *table;
}

GdiTable::GdiTable() {
  for (int index = 0; index <= DC_PEN; ++index) {
    if (index == kUnusedStockIndex) continue;
    auto object = std::make_shared<GdiObject>(StockKind(index));
    object->stock = true;
    stock_[static_cast<size_t>(index)] = InsertLocked(std::move(object));
  }
  auto bitmap = std::make_shared<Bitmap>();
  bitmap->stock = true;
  bitmap->width = bitmap->height = 1;
  bitmap->stride = 4;
  bitmap->pixels = AllocatePixels(4);
  defaultBitmap_ = InsertLocked(std::move(bitmap));
}

HGDIOBJ GdiTable::InsertLocked(std::shared_ptr<GdiObject> object) {
  auto handle = reinterpret_cast<HGDIOBJ>(nextHandle_);
  nextHandle_ += 4;
  objects_.emplace(reinterpret_cast<uintptr_t>(handle), std::move(object));
  return handle;
}

HGDIOBJ GdiTable::Insert(std::shared_ptr<GdiObject> object) {
  std::lock_guard lock(mutex);
  return InsertLocked(std::move(object));
}

std::shared_ptr<GdiObject> GdiTable::FindLocked(const void* handle) const {
  auto found = objects_.find(reinterpret_cast<uintptr_t>(handle));
  return found == objects_.end() ? nullptr : found->second;
}

void GdiTable::RemoveLocked(const void* handle) {
  objects_.erase(reinterpret_cast<uintptr_t>(handle));
}

HGDIOBJ GdiTable::Stock(int index) const {
  return index >= 0 && index <= DC_PEN ? stock_[static_cast<size_t>(index)] : nullptr;
}

std::shared_ptr<Surface> WindowSurface(HWND handle, SIZE& size, SIZE& clip) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  if (!window) return nullptr;
  if (!window->surface) window->surface = std::make_shared<Surface>();
  size = ClientSize(window->style, window->exStyle, window->width, window->height);
  clip = (window->style & WS_MINIMIZE) ? SIZE{0, 0} : size;
  return window->surface;
}

std::shared_ptr<Surface> ScreenSurface(SIZE& size, SIZE& clip) {
  static auto* screen = new std::shared_ptr<Surface>(std::make_shared<Surface>());
  size = clip = ScreenSize();
  return *screen;
}

}  // namespace tevrin::win32

namespace {

HDC NewDeviceContext(bool memory, HWND window) {
  GdiTable& table = GdiTable::Instance();
  auto dc = std::make_shared<DeviceContext>();
  dc->memory = memory;
  dc->window = window;
  dc->selected = {{GdiKind::Brush, table.Stock(WHITE_BRUSH)},
                  {GdiKind::Pen, table.Stock(BLACK_PEN)},
                  {GdiKind::Font, table.Stock(SYSTEM_FONT)}};
  if (memory) {
    std::lock_guard lock(table.mutex);
    dc->selected[GdiKind::Bitmap] = table.DefaultBitmap();
    dc->bitmap = table.FindLocked<Bitmap>(table.DefaultBitmap(), GdiKind::Bitmap);
  }
  return static_cast<HDC>(table.Insert(std::move(dc)));
}

template <class T>
T Fail(DWORD error, T result) {
  SetLastError(error);
  return result;
}

}  // namespace

extern "C" HGDIOBJ WINAPI GetStockObject(int index) {
  HGDIOBJ object = GdiTable::Instance().Stock(index);
  if (!object) SetLastError(ERROR_INVALID_PARAMETER);
  return object;
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC dc) {
  if (dc != nullptr) {
    GdiTable& table = GdiTable::Instance();
    std::lock_guard lock(table.mutex);
    if (!table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext)) return Fail<HDC>(ERROR_INVALID_HANDLE, nullptr);
  }
  return NewDeviceContext(true, nullptr);
}

extern "C" HDC WINAPI GetDC(HWND window) {
  if (window != nullptr && !IsWindow(window)) return Fail<HDC>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
  return NewDeviceContext(false, window);
}

// 1 when `dc` came from GetDC(window), else 0.
extern "C" int WINAPI ReleaseDC(HWND window, HDC dc) {
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  auto context = table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext);
  if (!context || context->memory || context->window != window) return 0;
  table.RemoveLocked(dc);
  return 1;
}

// Memory DCs only; the bitmap it holds is left, unselected, to its owner.
extern "C" BOOL WINAPI DeleteDC(HDC dc) {
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  auto context = table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext);
  if (!context || !context->memory) return Fail(ERROR_INVALID_HANDLE, FALSE);
  if (!context->bitmap->stock) context->bitmap->selectedInto = nullptr;
  table.RemoveLocked(dc);
  return TRUE;
}

// Bitmaps go into memory DCs only, and into one at a time; brushes, pens and
// fonts into any DC.
extern "C" HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ handle) {
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  auto context = table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext);
  auto object = table.FindLocked(handle);
  if (!context || !object) return Fail<HGDIOBJ>(ERROR_INVALID_HANDLE, nullptr);
  switch (object->kind) {
    case GdiKind::Bitmap: {
      auto bitmap = std::static_pointer_cast<Bitmap>(object);
      if (!context->memory) return Fail<HGDIOBJ>(ERROR_INVALID_PARAMETER, nullptr);
      if (!bitmap->stock && bitmap->selectedInto != nullptr && bitmap->selectedInto != dc) {
        return Fail<HGDIOBJ>(ERROR_INVALID_PARAMETER, nullptr);
      }
      if (!context->bitmap->stock) context->bitmap->selectedInto = nullptr;
      if (!bitmap->stock) bitmap->selectedInto = dc;
      context->bitmap = std::move(bitmap);
      break;
    }
    case GdiKind::Brush:
    case GdiKind::Pen:
    case GdiKind::Font:
      break;
    default:  // palettes need SelectPalette; cursors and DCs are not selectable
      return Fail<HGDIOBJ>(ERROR_INVALID_PARAMETER, nullptr);
  }
  HGDIOBJ previous = context->selected[object->kind];
  context->selected[object->kind] = handle;
  return previous;
}

// Stock objects stay; a bitmap still selected into a DC is refused.
extern "C" BOOL WINAPI DeleteObject(HGDIOBJ handle) {
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  auto object = table.FindLocked(handle);
  if (!object || object->kind == GdiKind::DeviceContext || object->kind == GdiKind::Cursor) {
    return Fail(ERROR_INVALID_HANDLE, FALSE);
  }
  if (object->stock) return TRUE;
  if (object->kind == GdiKind::Bitmap && std::static_pointer_cast<Bitmap>(object)->selectedInto != nullptr) {
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  table.RemoveLocked(handle);
  return TRUE;
}

// The system cursors only: there are no cursor resources in modules.
extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  static constexpr uintptr_t kSystemCursors[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                                 32644, 32645, 32646, 32648, 32649, 32650, 32651};
  static std::unordered_map<uintptr_t, HGDIOBJ>* loaded = new std::unordered_map<uintptr_t, HGDIOBJ>;
  auto id = reinterpret_cast<uintptr_t>(name);
  if (instance != nullptr || !IS_INTRESOURCE(name) ||
      std::find(std::begin(kSystemCursors), std::end(kSystemCursors), id) == std::end(kSystemCursors)) {
    return Fail<HCURSOR>(ERROR_RESOURCE_NAME_NOT_FOUND, nullptr);
  }
  GdiTable& table = GdiTable::Instance();
  std::lock_guard lock(table.mutex);
  HGDIOBJ& handle = (*loaded)[id];
  if (!handle) {
    auto cursor = std::make_shared<GdiObject>(GdiKind::Cursor);
    cursor->stock = true;
    handle = table.InsertLocked(std::move(cursor));
  }
  return static_cast<HCURSOR>(handle);
}
