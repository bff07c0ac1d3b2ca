#include "image/DefectMap.h"

#include <cstdint>

#include "image/DibImage.h"

namespace tevrin::image {
namespace {

constexpr int kBorder = 2;

template <typename Sample>
void Mark(const CDibImage& reference, CDibImage& map, DefectKind kind, Sample hotAbove, Sample coldBelow) {
  for (int y = kBorder; y < reference.Height() - kBorder; ++y) {
    const auto* source = reinterpret_cast<const Sample*>(reference.Row(y));
    auto* marks = reinterpret_cast<Sample*>(map.Row(y));
    for (int x = kBorder; x < reference.Width() - kBorder; ++x) {
      marks[x] = kind == DefectKind::kHot ? source[x] > hotAbove : source[x] < coldBelow;
    }
  }
}

}  // namespace

void BuildDefectMap(const CDibImage& reference, CDibImage& map, DefectKind kind) {
  if (!reference.SameFormat(map)) return;
  if (reference.BitCount() == 8) Mark<uint8_t>(reference, map, kind, 192, 64);
  if (reference.BitCount() == 16) Mark<uint16_t>(reference, map, kind, 3072, 1024);
}

}  // namespace tevrin::image
