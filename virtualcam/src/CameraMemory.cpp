#include "CameraMemory.h"

#include <algorithm>
#include <cstring>

namespace tevrin::virtualcam {

template <class Piece>
void CameraMemory::ForEachPiece(uint64_t address, size_t size, Piece piece) {
  for (size_t done = 0; done < size;) {
    uint64_t at = address + done;
    size_t offset = at % kPage;
    size_t n = std::min<size_t>(kPage - offset, size - done);
    piece(at / kPage, offset, done, n);
    done += n;
  }
}

bool CameraMemory::Read(uint64_t address, std::span<uint8_t> bytes) const {
  if (!Contains(address, bytes.size())) return false;
  ForEachPiece(address, bytes.size(), [&](uint64_t page, size_t offset, size_t done, size_t n) {
    auto found = pages_.find(page);
    if (found == pages_.end()) {
      std::memset(bytes.data() + done, 0, n);
    } else {
      std::memcpy(bytes.data() + done, found->second->data() + offset, n);
    }
  });
  return true;
}

bool CameraMemory::Write(uint64_t address, std::span<const uint8_t> bytes) {
  if (!Contains(address, bytes.size())) return false;
  ForEachPiece(address, bytes.size(), [&](uint64_t page, size_t offset, size_t done, size_t n) {
    auto& stored = pages_[page];
    if (!stored) stored = std::make_unique<Page>(Page{});
    std::memcpy(stored->data() + offset, bytes.data() + done, n);
  });
  return true;
}

}  // namespace tevrin::virtualcam
