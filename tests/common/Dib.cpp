#include "Dib.h"

#include <cstdlib>
#include <cstring>

namespace tevrin::test {

DibInfo DibHeader(int width, int height, int bitCount) {
  DibInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bitCount);
  info.header.biCompression = BI_RGB;
  for (int i = 0; i < 256; ++i) {
    info.colors[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
  }
  return info;
}

Dib::Dib(int width, int height, int bitCount, const std::vector<uint32_t>& colors)
    : width(width),
      height(std::abs(height)),
      bitCount(bitCount),
      topDown(height < 0),
      stride((width * bitCount / 8 + 3) / 4 * 4) {
  DibInfo info = DibHeader(width, height, bitCount);
  for (size_t i = 0; i < colors.size(); ++i) std::memcpy(&info.colors[i], &colors[i], 4);
  void* pixels = nullptr;
  bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
  bits = static_cast<uint8_t*>(pixels);
  dc = CreateCompatibleDC(nullptr);
  previous = SelectObject(dc, bitmap);
}

Dib::~Dib() {
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

uint8_t* Dib::Row(int y) const {
  return bits + static_cast<ptrdiff_t>(topDown ? y : height - 1 - y) * stride;
}

uint32_t Dib::At(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (bitCount) {
    case 8:
      return row[x];
    case 16:
      return row[2 * x] | (row[2 * x + 1] << 8);
    case 24:
      return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    default: {
      uint32_t value;
      std::memcpy(&value, row + 4 * x, 4);
      return value;
    }
  }
}

void Dib::Set(int x, int y, uint32_t value) {
  uint8_t* row = Row(y);
  int bytes = bitCount / 8;
  std::memcpy(row + x * bytes, &value, static_cast<size_t>(bytes));
}

std::vector<uint32_t> ReadWindow(HWND window, int width, int height) {
  Dib copy(width, -height, 32);
  HDC windowDc = GetDC(window);
  BitBlt(copy.dc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  ReleaseDC(window, windowDc);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  std::memcpy(pixels.data(), copy.bits, pixels.size() * 4);
  return pixels;
}

}  // namespace tevrin::test
