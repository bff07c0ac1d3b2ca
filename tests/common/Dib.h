// A DIB section selected into its own memory DC, as image code on Windows
// keeps one, for drawing tests and read-back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace tevrin::test {

struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

// A header for width x height (negative height: top-down); 8 bits get a grey table.
DibInfo DibHeader(int width, int height, int bitCount);

class Dib {
 public:
  Dib(int width, int height, int bitCount, const std::vector<uint32_t>& colors = {});
  ~Dib();
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  // Row y of the picture (0 = top), whatever the storage order.
  uint8_t* Row(int y) const;
  // The pixel at x, y as 0x00RRGGBB (32/24 bits) or its index (8 bits).
  uint32_t At(int x, int y) const;
  void Set(int x, int y, uint32_t value);

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint8_t* bits = nullptr;
  int width, height, bitCount;
  bool topDown;
  int stride;
};

// Reads a window's client area back the way a Windows test would: BitBlt from
// its DC into a 32-bit top-down DIB section.
std::vector<uint32_t> ReadWindow(HWND window, int width, int height);

}  // namespace tevrin::test
