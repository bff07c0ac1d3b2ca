// The defect maps of the dot filter: pixels that stay bright in the dark
// reference (hot) or dark in the white reference (cold).
#pragma once

class CDibImage;

namespace tevrin::image {

enum class DefectKind { kHot, kCold };

// Marks (1) or clears (0) each pixel of `map` from `reference`, both 640 x 512
// of the same depth: hot above 192 (8-bit) or 3072 (16-bit), cold below 64 or
// 1024. The two-pixel border of the map is left as it is. Does nothing when
// the images differ in size or depth.
void BuildDefectMap(const CDibImage& reference, CDibImage& map, DefectKind kind);

}  // namespace tevrin::image
