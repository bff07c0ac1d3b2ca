#include "image/DibImage.h"

#include <algorithm>

namespace {

constexpr DWORD kHeaderSize = sizeof(BITMAPINFOHEADER);
// Images of 2 GiB and more are refused rather than attempted.
constexpr int64_t kMaxImageBytes = int64_t{1} << 31;

bool IsKnownBitCount(int bitCount) {
  constexpr int kBitCounts[] = {8, 16, 24, 32, 48, 64};
  return std::ranges::find(kBitCounts, bitCount) != std::end(kBitCounts);
}

void FillGreyRamp(RGBQUAD* colors) {
  for (int i = 0; i < 256; ++i) {
    const auto level = static_cast<BYTE>(i);
    colors[i] = RGBQUAD{level, level, level, 0};
  }
}

}  // namespace

CDibImage::CDibImage() {
  ResetHeader();
}

CDibImage::~CDibImage() {
  Release();
}

int64_t CDibImage::StrideFor(int32_t width, uint16_t bitCount) {
  return (static_cast<int64_t>(width) * (bitCount / 8) + 3) & ~int64_t{3};
}

int CDibImage::Create(int32_t width, int32_t height, uint16_t bitCount) {
  Release();
  if (width <= 0 || height <= 0 || !IsKnownBitCount(bitCount)) return 0;
  DibHeader header{};
  header.header.biSize = kHeaderSize;
  header.header.biWidth = width;
  header.header.biHeight = height;
  header.header.biPlanes = 1;
  header.header.biBitCount = bitCount;
  header.header.biCompression = BI_RGB;
  if (bitCount == 8) FillGreyRamp(header.colors);
  return CreateFrom(header);
}

int CDibImage::CopyFormat(const CDibImage& other) {
  if (&other == this) return bits_ ? 1 : 0;
  const DibHeader header = other.header_;
  Release();
  if (header.header.biWidth <= 0 || header.header.biHeight <= 0 || !IsKnownBitCount(header.header.biBitCount)) {
    return 0;
  }
  return CreateFrom(header);
}

int CDibImage::CreateFrom(const DibHeader& header) {
  const int64_t stride = StrideFor(header.header.biWidth, header.header.biBitCount);
  if (stride >= kMaxImageBytes || stride * header.header.biHeight >= kMaxImageBytes) return 0;
  header_ = header;
  width_ = header.header.biWidth;
  height_ = header.header.biHeight;
  bitCount_ = header.header.biBitCount;
  stride_ = static_cast<int32_t>(stride);
  if (CreateSection()) return 1;
  heap_ = tevrin::image::AllocateAlignedPixels(ByteSize());
  if (!heap_) {
    Release();
    return 0;
  }
  bits_ = heap_.get();
  return 1;
}

bool CDibImage::CreateSection() {
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = dc ? SelectObject(dc, bitmap) : nullptr;
  if (!old) {
    if (dc) DeleteDC(dc);
    DeleteObject(bitmap);
    return false;
  }
  bitmap_ = bitmap;
  dc_ = dc;
  oldBitmap_ = old;
  bits_ = static_cast<uint8_t*>(bits);
  return true;
}

void CDibImage::Release() {
  if (dc_) {
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  oldBitmap_ = nullptr;
  bitmap_ = nullptr;
  heap_.reset();
  bits_ = nullptr;
  width_ = height_ = stride_ = 0;
  bitCount_ = 0;
  ResetHeader();
}

void CDibImage::ResetHeader() {
  header_ = DibHeader{};
  header_.header.biSize = kHeaderSize;
}

int CDibImage::SetPalette(int mode, const RGBQUAD* entries, int first, int count) {
  if (mode == 0) {
    FillGreyRamp(header_.colors);
    first = 0;
    count = 256;
  } else if (mode == 2) {
    if (!entries || first < 0 || count < 0 || count > 256 - first) return 0;
    std::copy_n(entries, count, header_.colors + first);
  } else {
    return 0;
  }
  if (dc_ && bitCount_ == 8) {
    SetDIBColorTable(dc_, static_cast<UINT>(first), static_cast<UINT>(count), header_.colors + first);
  }
  return 1;
}

int CDibImage::Blit(HDC target, int x, int y, const RECT* rect) const {
  if (!dc_ || !target) return 0;
  const RECT area = rect ? *rect : RECT{0, 0, width_, height_};
  return BitBlt(target, x, y, area.right - area.left, area.bottom - area.top, dc_, area.left, area.top, SRCCOPY) ? 1
                                                                                                                 : 0;
}

bool CDibImage::SameFormat(const CDibImage& other) const {
  return bits_ && other.bits_ && width_ == other.width_ && height_ == other.height_ && bitCount_ == other.bitCount_;
}

int CDibImage::Apply(const tevrin::image::PixelRoutine& routine, const CDibImage& source, const RECT* rect,
                     void* context) {
  if (!routine.run || !bits_ || !source.bits_) return 0;
  RECT area = rect ? *rect : RECT{0, 0, source.width_, source.height_};
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::min<LONG>(area.right, source.width_);
  area.bottom = std::min<LONG>(area.bottom, source.height_);
  const bool scales = routine.shape == tevrin::image::RoutineShape::kScaleToDestination;
  if (!scales) {
    area.right = std::min<LONG>(area.right, width_);
    area.bottom = std::min<LONG>(area.bottom, height_);
  }
  if (area.left >= area.right || area.top >= area.bottom) return 0;

  tevrin::image::PixelTransfer transfer;
  transfer.destination = bits_;
  transfer.source = source.bits_;
  transfer.left = area.left;
  transfer.top = area.top;
  transfer.right = area.right;
  transfer.bottom = area.bottom;
  transfer.destinationX = scales ? 0 : area.left;
  transfer.destinationY = scales ? 0 : area.top;
  transfer.destinationWidth = scales ? width_ : area.right - area.left;
  transfer.destinationHeight = scales ? height_ : area.bottom - area.top;
  transfer.destinationBytes = BytesPerPixel();
  transfer.sourceBytes = source.BytesPerPixel();
  transfer.destinationStride = stride_;
  transfer.sourceStride = source.stride_;
  transfer.context = context;
  return routine.run(transfer);
}
