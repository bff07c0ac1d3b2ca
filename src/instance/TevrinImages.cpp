// The instance's reference images and the still-image save of the last frame.
#include <cstring>

#include "files/SaveImage.h"
#include "instance/Tevrin.h"

namespace {

constexpr int kMaskWidth = 640;
constexpr int kMaskHeight = 512;
constexpr int kStillSignificantBits = 16;

}  // namespace

// The dark references start black, the white ones at full scale, the maps empty.
bool CTevrin::SizeReferenceImages() {
  struct Reference {
    MaskIndex index;
    uint16_t bits;
    int fill;
  };
  constexpr Reference kReferences[] = {
      {kDarkRef8, 8, 0}, {kWhiteRef8, 8, 255}, {kDarkRef16, 16, 0}, {kWhiteRef16, 16, 4095}, {kHotMap8, 8, 0},
      {kColdMap8, 8, 0}, {kHotMap16, 16, 0},   {kColdMap16, 16, 0}, {kDotMap8, 8, 0},        {kDotMap16, 16, 0},
  };
  std::lock_guard hold(maskLock_);
  for (const Reference& reference : kReferences) {
    CDibImage& image = masks_[reference.index];
    if (!image.Create(kMaskWidth, kMaskHeight, reference.bits)) return false;
    if (reference.bits == 8) {
      std::memset(image.Bits(), reference.fill, image.ByteSize());
      continue;
    }
    auto* samples = reinterpret_cast<uint16_t*>(image.Bits());
    for (size_t i = 0; i < image.ByteSize() / 2; ++i) samples[i] = static_cast<uint16_t>(reference.fill);
  }
  return true;
}

// The image of the last acquisition, in the colour mode it was taken in.
int CTevrin::SaveImage(const char* path, int format) {
  if (!acquisition_) return RecordError(TEVRIN_ERROR_NOT_READY);
  return acquisition_->WithImages([&](CFrameImages& images, bool valid) {
    if (!valid) return RecordError(TEVRIN_ERROR_NOT_READY);
    const CDibImage& image = images.Output();
    const tevrin::files::StillImage still{image.Width(), image.Height(), image.BitCount(), image.Stride(),
                                          image.Bits()};
    if (tevrin::files::SaveImageAs(path, still, format, kStillSignificantBits)) return 1;
    // An unknown format refuses without a code, as it always has.
    if (format < tevrin::files::kStillBmp || format > tevrin::files::kStillTiff) return 0;
    // The caller learns the system's reason from the thread's last error, as
    // the file functions left it.
    const DWORD reason = GetLastError();
    RecordError(TEVRIN_ERROR_TEXT_OR_FILE);
    SetLastError(reason);
    return 0;
  });
}
