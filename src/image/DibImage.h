// The image buffer of the whole SDK: a device-independent bitmap selected
// into its own memory DC, so that the same memory is processed pixel by pixel
// and blitted with GDI. Row 0 in memory is the picture's top row, although the
// header carries a positive height (which GDI reads as bottom-up); consumers
// compensate. When no DIB section can be made (GDI has none of 48 or 64 bits)
// the image owns a heap block instead: it can be processed but not blitted.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image/AlignedPixels.h"
#include "image/PixelRoutine.h"

struct DibHeader {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];  // used by 8-bit images only
};

class CDibImage {
 public:
  CDibImage();
  ~CDibImage();
  CDibImage(const CDibImage&) = delete;
  CDibImage& operator=(const CDibImage&) = delete;

  // Releases what the image held and makes a zero-filled image; 8-bit images
  // get the grey colour table. Returns 0 for a non-positive size, a bit count
  // other than 8, 16, 24, 32, 48 or 64, or when no memory is left.
  int Create(int32_t width, int32_t height, uint16_t bitCount);
  // An image of the other's header (colour table included), size and bit
  // count; the pixels are not copied.
  int CopyFormat(const CDibImage& other);
  void Release();

  // Mode 0 writes the grey ramp into all 256 entries; mode 2 writes `count`
  // entries from `first` on. Returns 0 for other modes and ranges outside the table.
  int SetPalette(int mode, const RGBQUAD* entries = nullptr, int first = 0, int count = 0);
  // Copies a rectangle of the image (whole image when null; GDI coordinates)
  // to `target` at x, y. Returns 0 when the image has no DC.
  int Blit(HDC target, int x, int y, const RECT* rect = nullptr) const;
  // Runs `routine` with this image as destination and `source` as source over
  // `rect` (source pixels, whole source when null), written at the same
  // position in this image. Returns 0 without calling the routine when nothing
  // is left after clipping, else the routine's result.
  int Apply(const tevrin::image::PixelRoutine& routine, const CDibImage& source, const RECT* rect = nullptr,
            void* context = nullptr);

  uint8_t* Bits() const { return bits_; }
  uint8_t* Row(int32_t y) const { return bits_ + static_cast<ptrdiff_t>(y) * stride_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Stride() const { return stride_; }
  uint16_t BitCount() const { return bitCount_; }
  int BytesPerPixel() const { return bitCount_ / 8; }
  size_t ByteSize() const { return static_cast<size_t>(height_) * static_cast<size_t>(stride_); }
  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  const DibHeader& Header() const { return header_; }
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&header_); }
  // Same width, height and bit count, pixels present.
  bool SameFormat(const CDibImage& other) const;

  // Every row starts on a 4-byte boundary.
  static int64_t StrideFor(int32_t width, uint16_t bitCount);

 private:
  int CreateFrom(const DibHeader& header);
  bool CreateSection();
  void ResetHeader();

  DibHeader header_{};
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  tevrin::image::AlignedPixels heap_;
  uint8_t* bits_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t stride_ = 0;
  uint16_t bitCount_ = 0;
};
