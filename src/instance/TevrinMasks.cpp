// Dark and white references taken from the current frame or a mask file, and
// the defect maps derived from them.
#include <cstring>
#include <new>

#include "files/MaskFile.h"
#include "image/DefectMap.h"
#include "instance/Tevrin.h"

using tevrin::files::MaskFileData;
using tevrin::files::MaskFileResult;
using tevrin::files::MaskReference;
using tevrin::files::MaskReferenceBytes;
using tevrin::image::BuildDefectMap;
using tevrin::image::DefectKind;

// The instance's image of each reference the file holds, in file order.
CDibImage& CTevrin::MaskReferenceImage(int fileReference) {
  static constexpr MaskIndex kIndices[tevrin::files::kMaskReferenceCount] = {kDarkRef8, kWhiteRef8, kDarkRef16,
                                                                             kWhiteRef16};
  return masks_[kIndices[fileReference]];
}

// Whether every reference has the file's layout: it has unless Initialize
// could not make the images.
bool CTevrin::ReferencesHaveFileLayout() {
  for (int reference = 0; reference < tevrin::files::kMaskReferenceCount; ++reference) {
    const CDibImage& image = MaskReferenceImage(reference);
    if (!image.Bits() || image.ByteSize() != MaskReferenceBytes(MaskReference(reference))) return false;
  }
  return true;
}

void CTevrin::RebuildDefectMapsLocked() {
  BuildDefectMap(masks_[kDarkRef8], masks_[kHotMap8], DefectKind::kHot);
  BuildDefectMap(masks_[kWhiteRef8], masks_[kColdMap8], DefectKind::kCold);
  BuildDefectMap(masks_[kDarkRef16], masks_[kHotMap16], DefectKind::kHot);
  BuildDefectMap(masks_[kWhiteRef16], masks_[kColdMap16], DefectKind::kCold);
}

int CTevrin::UpdateMaskData(int kind) {
  if (!acquisition_) return RecordError(TEVRIN_ERROR_NOT_READY);
  return acquisition_->WithImages([&](CFrameImages& images, bool valid) {
    // Before the first frame the raw image holds no picture to learn from.
    if (!valid) return RecordError(TEVRIN_ERROR_NOT_READY);
    const CDibImage& raw = images.Raw();
    // Only a whole frame can serve as a reference.
    if (raw.Width() != tevrin::files::kMaskWidth || raw.Height() != tevrin::files::kMaskHeight) return 1;
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
      BuildDefectMap(masks_[dark], masks_[sixteen ? kHotMap16 : kHotMap8], DefectKind::kHot);
    } else {
      BuildDefectMap(masks_[white], masks_[sixteen ? kColdMap16 : kColdMap8], DefectKind::kCold);
    }
    maskUpdating_ = 0;
    if (kind != 0 && kind != 1) return RecordError(TEVRIN_ERROR_TEXT_OR_FILE);
    return 1;
  });
}

// The file is read whole before any reference changes; the references and
// the maps then change together under the mask lock, so the filters of a
// frame see either the old set or the new one.
int CTevrin::LoadMaskFile(const char* path) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!path || !*path) return RecordError(TEVRIN_ERROR_ARGUMENT);
  try {
    MaskFileData staging;
    if (tevrin::files::ReadMaskFile(path, staging) != MaskFileResult::kDone) {
      return RecordError(TEVRIN_ERROR_MASK_FILE);
    }
    std::lock_guard hold(maskLock_);
    if (!ReferencesHaveFileLayout()) return RecordError(TEVRIN_ERROR_BUFFER);
    for (int reference = 0; reference < tevrin::files::kMaskReferenceCount; ++reference) {
      std::memcpy(MaskReferenceImage(reference).Bits(), staging.Reference(MaskReference(reference)),
                  MaskReferenceBytes(MaskReference(reference)));
    }
    RebuildDefectMapsLocked();
    return 1;
  } catch (const std::bad_alloc&) {
    return RecordError(TEVRIN_ERROR_BUFFER);
  }
}

// The references are copied under the lock and written after it, so frames
// are never held up by the disk.
int CTevrin::SaveMaskFile(const char* path) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!path || !*path) return RecordError(TEVRIN_ERROR_ARGUMENT);
  try {
    MaskFileData staging;
    {
      std::lock_guard hold(maskLock_);
      if (!ReferencesHaveFileLayout()) return RecordError(TEVRIN_ERROR_BUFFER);
      for (int reference = 0; reference < tevrin::files::kMaskReferenceCount; ++reference) {
        std::memcpy(staging.Reference(MaskReference(reference)), MaskReferenceImage(reference).Bits(),
                    MaskReferenceBytes(MaskReference(reference)));
      }
    }
    if (tevrin::files::WriteMaskFile(path, staging) != MaskFileResult::kDone) {
      return RecordError(TEVRIN_ERROR_MASK_FILE);
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return RecordError(TEVRIN_ERROR_BUFFER);
  }
}
