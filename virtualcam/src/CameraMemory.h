// The camera memory behind the memory window: sparse 4 KiB pages, zero until
// written, addresses below 4 GiB.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>

namespace tevrin::virtualcam {

class CameraMemory {
 public:
  static constexpr uint64_t kSize = uint64_t(1) << 32;

  // False when the range leaves the memory.
  bool Read(uint64_t address, std::span<uint8_t> bytes) const;
  bool Write(uint64_t address, std::span<const uint8_t> bytes);
  static bool Contains(uint64_t address, uint64_t length) { return address <= kSize && length <= kSize - address; }

 private:
  static constexpr uint64_t kPage = 4096;
  using Page = std::array<uint8_t, kPage>;
  // Calls piece(page number, offset in page, offset in the range, length) for each page the range touches.
  template <class Piece>
  static void ForEachPiece(uint64_t address, size_t size, Piece piece);
  std::unordered_map<uint64_t, std::unique_ptr<Page>> pages_;
};

}  // namespace tevrin::virtualcam
