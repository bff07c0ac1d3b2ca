// Mask files as the tests expect them, built byte by byte from the layout
// (40-byte little-endian header, then the 8-bit dark and white references
// and the 16-bit ones, rows of 640 samples), not by the code under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tevrin::test {

inline constexpr size_t kMaskFileSize = 1966120;
inline constexpr size_t kMaskPixels = 640 * 512;
// Where each reference starts in the file: dark 8, white 8, dark 16, white 16.
inline constexpr size_t kMaskReferenceOffset[4] = {40, 40 + kMaskPixels, 40 + 2 * kMaskPixels, 40 + 4 * kMaskPixels};

inline void PutLittleEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A whole mask file whose references hold patterns that differ with `seed`;
// 16-bit samples stay within 12 bits.
inline std::vector<uint8_t> MaskFileBytes(unsigned seed) {
  std::vector<uint8_t> bytes(kMaskFileSize);
  std::memcpy(bytes.data(), "ZOLMEX MASK1000", 16);
  PutLittleEndian32(bytes, 16, 640);
  PutLittleEndian32(bytes, 20, 512);
  for (int i = 0; i < 4; ++i) PutLittleEndian32(bytes, 24 + 4 * i, i < 2 ? 0x50000 : 0xA0000);
  for (size_t p = 0; p < kMaskPixels; ++p) {
    bytes[kMaskReferenceOffset[0] + p] = static_cast<uint8_t>(p * 7 + seed);
    bytes[kMaskReferenceOffset[1] + p] = static_cast<uint8_t>(p * 13 + 3 * seed);
    for (int wide = 0; wide < 2; ++wide) {
      const auto sample = static_cast<uint16_t>((p * (wide ? 31 : 17) + 5 * seed) & 0xFFF);
      bytes[kMaskReferenceOffset[2 + wide] + 2 * p] = static_cast<uint8_t>(sample);
      bytes[kMaskReferenceOffset[2 + wide] + 2 * p + 1] = static_cast<uint8_t>(sample >> 8);
    }
  }
  return bytes;
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace tevrin::test
