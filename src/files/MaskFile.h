// The mask file: the four reference images of the defect mask (dark and
// white, 8 and 16 bits, 640 x 512) behind a 40-byte header, little-endian,
// 1966120 bytes in all. Only this exact layout is read or written.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tevrin::files {

// The references in the order the file holds them.
enum MaskReference : int { kMaskDark8, kMaskWhite8, kMaskDark16, kMaskWhite16, kMaskReferenceCount };

inline constexpr int32_t kMaskWidth = 640;
inline constexpr int32_t kMaskHeight = 512;
inline constexpr char kMaskMagic[16] = "ZOLMEX MASK1000";

#pragma pack(push, 1)
struct MaskFileHeader {
  char magic[16];
  int32_t width;
  int32_t height;
  uint32_t byteCount[kMaskReferenceCount];
};
#pragma pack(pop)
// The header and the 16-bit samples are written from memory as they are.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(MaskFileHeader) == 40 && offsetof(MaskFileHeader, width) == 16 &&
              offsetof(MaskFileHeader, byteCount) == 24);

// Rows of 640 samples of one or two bytes, no padding.
constexpr size_t MaskReferenceBytes(MaskReference reference) {
  return size_t{kMaskWidth} * kMaskHeight * (reference < kMaskDark16 ? 1 : 2);
}
inline constexpr size_t kMaskDataBytes = 2 * MaskReferenceBytes(kMaskDark8) + 2 * MaskReferenceBytes(kMaskDark16);
inline constexpr size_t kMaskFileBytes = sizeof(MaskFileHeader) + kMaskDataBytes;
static_assert(kMaskFileBytes == 1966120);

// The references of one mask file in memory, one after another as the file
// lays them out after its header. Loads read into one of these, so that the
// instance's references change only once the whole file has been read.
class MaskFileData {
 public:
  MaskFileData() : bytes_(kMaskDataBytes) {}
  uint8_t* Reference(MaskReference reference) { return bytes_.data() + OffsetOf(reference); }
  const uint8_t* Reference(MaskReference reference) const { return bytes_.data() + OffsetOf(reference); }
  const uint8_t* Data() const { return bytes_.data(); }
  uint8_t* Data() { return bytes_.data(); }

 private:
  static constexpr size_t OffsetOf(MaskReference reference) {
    size_t offset = 0;
    for (int before = 0; before < reference; ++before) offset += MaskReferenceBytes(MaskReference(before));
    return offset;
  }
  std::vector<uint8_t> bytes_;
};

enum class MaskFileResult {
  kDone,
  kCannotOpen,   // missing, a directory, not readable or not creatable
  kWrongHeader,  // magic, size or a byte count is not the layout's
  kWrongLength,  // the references end early, or bytes follow them
  kWriteFailed,  // the file could not be written whole; the target is as it was
};

// Reads `path` (an existing file, opened without sharing) into `data`. The
// file must be exactly the layout: a file that ends early or goes on past the
// last reference (also one still growing while it is read) is refused, and
// `data` then holds nothing the caller may use.
MaskFileResult ReadMaskFile(const char* path, MaskFileData& data) noexcept;

// Writes the header and `data` under a temporary name beside `path` and
// renames it over `path` once complete: a failed save leaves the previous
// file, or none, never a truncated one.
MaskFileResult WriteMaskFile(const char* path, const MaskFileData& data) noexcept;

}  // namespace tevrin::files
