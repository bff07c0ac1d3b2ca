// Dark and white references taken from the current frame, and the defect
// maps derived from them.
#include <cstring>

#include "image/DefectMap.h"
#include "instance/Tevrin.h"

namespace {
constexpr int kMaskWidth = 640;
constexpr int kMaskHeight = 512;
}  // namespace

int CTevrin::UpdateMaskData(int kind) {
  if (!acquisition_) return RecordError(TEVRIN_ERROR_NOT_READY);
  return acquisition_->WithImages([&](CFrameImages& images, bool) {
    const CDibImage& raw = images.Raw();
    // Only a whole frame can serve as a reference.
    if (raw.Width() != kMaskWidth || raw.Height() != kMaskHeight) return 1;
    std::lock_guard masks(maskLock_);
    maskUpdating_ = 1;
    const bool sixteen = raw.BitCount() == 16;
    const MaskIndex dark = sixteen ? kDarkRef16 : kDarkRef8;
    const MaskIndex white = sixteen ? kWhiteRef16 : kWhiteRef8;
    if (kind == 0 || kind == 1) {
      CDibImage& reference = masks_[kind == 0 ? dark : white];
      if (reference.SameFormat(raw)) std::memcpy(reference.Bits(), raw.Bits(), raw.ByteSize());
    }
    if (kind == 0) {
      tevrin::image::BuildDefectMap(masks_[dark], masks_[sixteen ? kHotMap16 : kHotMap8],
                                    tevrin::image::DefectKind::kHot);
    } else {
      tevrin::image::BuildDefectMap(masks_[white], masks_[sixteen ? kColdMap16 : kColdMap8],
                                    tevrin::image::DefectKind::kCold);
    }
    maskUpdating_ = 0;
    if (kind != 0 && kind != 1) return RecordError(TEVRIN_ERROR_TEXT_OR_FILE);
    return 1;
  });
}
