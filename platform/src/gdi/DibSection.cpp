// Bitmaps: DIB sections, window-compatible bitmaps, colour tables and
// reading pixels back in a caller's format.
#include <algorithm>
#include <cstring>

#include "gdi/GdiObjects.h"

using tevrin::win32::Bitmap;
using tevrin::win32::DeviceContext;
using tevrin::win32::DibStride;
using tevrin::win32::Extent;
using tevrin::win32::GdiKind;
using tevrin::win32::GdiTable;
using tevrin::win32::PixelView;

namespace {

bool SupportedBitCount(int bitCount) {
  return bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

const RGBQUAD* ColorTable(const BITMAPINFO* info) {
  return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize);
}
RGBQUAD* ColorTable(BITMAPINFO* info) {
  return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(info) + info->bmiHeader.biSize);
}

uint32_t FromQuad(const RGBQUAD& quad) {
  return quad.rgbBlue | (quad.rgbGreen << 8) | (quad.rgbRed << 16);
}
RGBQUAD ToQuad(uint32_t color) {
  return RGBQUAD{static_cast<BYTE>(color), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color >> 16), 0};
}

// Checks a header the way GDI reads one; ERROR_INVALID_PARAMETER when it
// describes no uncompressed 8/16/24/32-bit picture.
bool ValidHeader(const BITMAPINFO* info) {
  if (info == nullptr) return false;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  return header.biSize >= sizeof(BITMAPINFOHEADER) && header.biWidth > 0 && header.biHeight != 0 &&
         header.biHeight != INT32_MIN && header.biPlanes == 1 && SupportedBitCount(header.biBitCount) &&
         header.biCompression == BI_RGB && header.biClrUsed <= 256;
}

template <class T>
T Fail(DWORD error, T result) {
  SetLastError(error);
  return result;
}

HBITMAP InsertBitmap(std::shared_ptr<Bitmap> bitmap, int width, int height, int bitCount, bool topDown) {
  // In 64 bits first: a huge width must not wrap the row size.
  int64_t rowBytes = (static_cast<int64_t>(width) * bitCount + 31) / 32 * 4;
  if (static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(height) >= tevrin::win32::kMaxPixelBytes) {
    return Fail<HBITMAP>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  }
  int stride = DibStride(width, bitCount);
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bitCount = bitCount;
  bitmap->stride = stride;
  bitmap->topDown = topDown;
  bitmap->pixels = tevrin::win32::AllocatePixels(static_cast<size_t>(stride) * static_cast<size_t>(height));
  if (!bitmap->pixels) return Fail<HBITMAP>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  return static_cast<HBITMAP>(GdiTable::Instance().Insert(std::move(bitmap)));
}

// The DIB section selected into a memory DC, under the table lock.
std::shared_ptr<Bitmap> SelectedDibLocked(HDC dc) {
  auto context = GdiTable::Instance().FindLocked<DeviceContext>(dc, GdiKind::DeviceContext);
  if (!context || !context->memory) return Fail<std::shared_ptr<Bitmap>>(ERROR_INVALID_HANDLE, nullptr);
  return context->bitmap->stock ? nullptr : context->bitmap;
}

}  // namespace

extern "C" HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                           DWORD) {
  if (bits) *bits = nullptr;
  if (section != nullptr) return Fail<HBITMAP>(ERROR_NOT_SUPPORTED, nullptr);
  if (usage != DIB_RGB_COLORS || !ValidHeader(info)) return Fail<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);
  const BITMAPINFOHEADER& header = info->bmiHeader;
  auto bitmap = std::make_shared<Bitmap>();
  if (header.biBitCount == 8) {
    bitmap->colorCount = header.biClrUsed == 0 ? 256 : static_cast<int>(header.biClrUsed);
    const RGBQUAD* colors = ColorTable(info);
    for (int i = 0; i < bitmap->colorCount; ++i) bitmap->colors[static_cast<size_t>(i)] = FromQuad(colors[i]);
  }
  std::byte* pixels = nullptr;
  int height = std::abs(header.biHeight);
  auto created = InsertBitmap(bitmap, header.biWidth, height, header.biBitCount, header.biHeight < 0);
  if (created) pixels = bitmap->pixels.get();
  if (bits) *bits = pixels;
  return created;
}

// 32 bits, top-down, whatever the DC; a zero size gives the stock 1 x 1 bitmap.
extern "C" HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
  GdiTable& table = GdiTable::Instance();
  {
    std::lock_guard lock(table.mutex);
    if (!table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext))
      return Fail<HBITMAP>(ERROR_INVALID_HANDLE, nullptr);
  }
  if (width < 0 || height < 0) return Fail<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);
  if (width == 0 || height == 0) return static_cast<HBITMAP>(table.DefaultBitmap());
  return InsertBitmap(std::make_shared<Bitmap>(), width, height, 32, true);
}

extern "C" UINT WINAPI SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors) {
  std::lock_guard lock(GdiTable::Instance().mutex);
  auto bitmap = SelectedDibLocked(dc);
  if (!bitmap || bitmap->bitCount != 8 || colors == nullptr || start >= static_cast<UINT>(bitmap->colorCount)) return 0;
  UINT set = std::min(count, static_cast<UINT>(bitmap->colorCount) - start);
  for (UINT i = 0; i < set; ++i) bitmap->colors[start + i] = FromQuad(colors[i]);
  return set;
}

extern "C" UINT WINAPI GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
  std::lock_guard lock(GdiTable::Instance().mutex);
  auto bitmap = SelectedDibLocked(dc);
  if (!bitmap || bitmap->bitCount != 8 || colors == nullptr || start >= static_cast<UINT>(bitmap->colorCount)) return 0;
  UINT got = std::min(count, static_cast<UINT>(bitmap->colorCount) - start);
  for (UINT i = 0; i < got; ++i) colors[i] = ToQuad(bitmap->colors[start + i]);
  return got;
}

// With no bits and biBitCount 0, fills in the bitmap's own header. Otherwise
// converts scan lines into the format `info` describes: line `start` is the
// first row of the caller's buffer (the bottom row for a bottom-up buffer).
extern "C" int WINAPI GetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info,
                                UINT usage) {
  GdiTable& table = GdiTable::Instance();
  std::shared_ptr<Bitmap> bitmap;
  std::array<uint32_t, 256> colors;
  {
    std::lock_guard lock(table.mutex);
    bitmap = table.FindLocked<Bitmap>(handle, GdiKind::Bitmap);
    if (!table.FindLocked<DeviceContext>(dc, GdiKind::DeviceContext) || !bitmap) return Fail(ERROR_INVALID_HANDLE, 0);
    colors = bitmap->colors;
  }
  if (info == nullptr || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) {
    return Fail(ERROR_INVALID_PARAMETER, 0);
  }
  BITMAPINFOHEADER& header = info->bmiHeader;
  if (bits == nullptr && header.biBitCount == 0) {
    header = BITMAPINFOHEADER{.biSize = header.biSize,
                              .biWidth = bitmap->width,
                              .biHeight = bitmap->topDown ? -bitmap->height : bitmap->height,
                              .biPlanes = 1,
                              .biBitCount = static_cast<WORD>(bitmap->bitCount),
                              .biCompression = BI_RGB,
                              .biSizeImage = static_cast<DWORD>(bitmap->stride * bitmap->height),
                              .biXPelsPerMeter = 0,
                              .biYPelsPerMeter = 0,
                              .biClrUsed = bitmap->bitCount == 8 ? static_cast<DWORD>(bitmap->colorCount) : 0,
                              .biClrImportant = 0};
    return bitmap->height;
  }
  if (!ValidHeader(info) || header.biWidth != bitmap->width || (header.biBitCount == 8 && bitmap->bitCount != 8)) {
    return Fail(ERROR_INVALID_PARAMETER, 0);
  }
  if (header.biBitCount == 8) {
    RGBQUAD* table8 = ColorTable(info);
    for (int i = 0; i < 256; ++i) table8[i] = ToQuad(colors[static_cast<size_t>(i)]);
  }
  if (bits == nullptr) {
    header.biSizeImage = static_cast<DWORD>(DibStride(header.biWidth, header.biBitCount) * std::abs(header.biHeight));
    return bitmap->height;
  }
  int available = start < static_cast<UINT>(bitmap->height) ? bitmap->height - static_cast<int>(start) : 0;
  int count = static_cast<int>(std::min<UINT>(lines, static_cast<UINT>(available)));
  if (count == 0) return 0;
  bool topDown = header.biHeight < 0;
  PixelView source = bitmap->View();
  source.colors = colors.data();
  PixelView dest{.bits = static_cast<std::byte*>(bits),
                 .width = bitmap->width,
                 .height = count,
                 .stride = DibStride(bitmap->width, header.biBitCount),
                 .bitCount = header.biBitCount,
                 .topDown = topDown,
                 .colors = colors.data(),
                 .colorCount = bitmap->colorCount};
  int firstSourceRow = topDown ? static_cast<int>(start) : bitmap->height - static_cast<int>(start) - count;
  tevrin::win32::StretchPixels(dest, Extent{0, bitmap->width}, Extent{0, count}, source, Extent{0, bitmap->width},
                               Extent{firstSourceRow, count});
  return count;
}
