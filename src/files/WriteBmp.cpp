#include <array>
#include <cstdint>
#include <limits>

#include "files/BmpHeader.h"
#include "files/OutputFile.h"
#include "files/StillWriters.h"

namespace tevrin::files {
namespace {

using ColourTable = std::array<uint8_t, kBmpColourTableBytes>;

// Entry i is blue i, green i, red i, reserved 0: the table every 8-bit
// image of the pipeline carries.
constexpr ColourTable GreyRamp() {
  ColourTable table{};
  for (int i = 0; i < kBmpColourTableEntries; ++i) {
    for (int channel = 0; channel < 3; ++channel) table[i * 4 + channel] = static_cast<uint8_t>(i);
  }
  return table;
}
constexpr ColourTable kGreyRamp = GreyRamp();

// BMP rows are padded to 4 bytes whatever stride the image uses.
uint64_t BmpStride(const StillImage& image) {
  return (image.RowBytes() + 3) & ~uint64_t{3};
}

}  // namespace

bool WriteBmp(const char* path, const StillImage& image) {
  const bool hasTable = image.bitCount <= 8;
  const uint32_t offBits = sizeof(BmpFileHeader) + sizeof(BmpInfoHeader) + (hasTable ? kBmpColourTableBytes : 0);
  const uint64_t stride = BmpStride(image);
  const uint64_t fileSize = offBits + stride * static_cast<uint64_t>(image.height);
  if (fileSize > std::numeric_limits<uint32_t>::max()) return false;

  const BmpFileHeader file{kBmpType, static_cast<uint32_t>(fileSize), 0, 0, offBits};
  BmpInfoHeader info{};
  info.size = sizeof(BmpInfoHeader);
  info.width = image.width;
  info.height = image.height;
  info.planes = 1;
  info.bitCount = static_cast<uint16_t>(image.bitCount);

  OutputFile out(path);
  if (!out || !out.Write(&file, sizeof(file)) || !out.Write(&info, sizeof(info))) return false;
  if (hasTable && !out.Write(kGreyRamp.data(), kGreyRamp.size())) return false;
  static constexpr uint8_t kPadding[3] = {};
  const size_t padding = static_cast<size_t>(stride - image.RowBytes());
  for (int32_t row = image.height - 1; row >= 0; --row) {
    if (!out.Write(image.Row(row), image.RowBytes()) || !out.Write(kPadding, padding)) return false;
  }
  return out.Close();
}

}  // namespace tevrin::files
