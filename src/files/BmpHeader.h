// The BMP file and info headers as they lie in the file (little-endian).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace tevrin::files {

#pragma pack(push, 1)
struct BmpFileHeader {
  uint16_t type;  // 'B', 'M'
  uint32_t size;
  uint16_t reserved1;
  uint16_t reserved2;
  uint32_t offBits;
};
struct BmpInfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height;  // positive: rows stored bottom-up
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
#pragma pack(pop)
// The headers are written from memory as they are.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(BmpFileHeader) == 14 && offsetof(BmpFileHeader, offBits) == 10);
static_assert(sizeof(BmpInfoHeader) == 40 && offsetof(BmpInfoHeader, bitCount) == 14);

constexpr uint16_t kBmpType = 0x4D42;
constexpr int kBmpColourTableEntries = 256;
constexpr uint32_t kBmpColourTableBytes = kBmpColourTableEntries * 4;

}  // namespace tevrin::files
