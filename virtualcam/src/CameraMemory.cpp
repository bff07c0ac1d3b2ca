#include "CameraMemory.h"

#include <algorithm>
#include <cstring>

namespace tevrin::virtualcam {

bool CameraMemory::Read(uint64_t address, std::span<uint8_t> bytes) const {
  if (!Contains(address, bytes.size())) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    uint64_t at = address + done;
    size_t offset = at % kPage;
    size_t n = std::min<size_t>(kPage - offset, bytes.size() - done);
    auto found = pages_.find(at / kPage);
    if (found == pages_.end()) {
      std::memset(bytes.data() + done, 0, n);
    } else {
      std::memcpy(bytes.data() + done, found->second->data() + offset, n);
    }
    done += n;
  }
  return true;
}

bool CameraMemory::Write(uint64_t address, std::span<const uint8_t> bytes) {
  if (!Contains(address, bytes.size())) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    uint64_t at = address + done;
    size_t offset = at % kPage;
    size_t n = std::min<size_t>(kPage - offset, bytes.size() - done);
    auto& page = pages_[at / kPage];
    if (!page) page = std::make_unique<Page>(Page{});
    std::memcpy(page->data() + offset, bytes.data() + done, n);
    done += n;
  }
  return true;
}

}  // namespace tevrin::virtualcam
