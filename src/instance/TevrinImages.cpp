// The instance's image objects: the raw and output images of the colour
// modes, the mask references and maps, the copy into a caller's buffer and
// the still-image save.
#include <cstring>
#include <new>

#include "files/SaveImage.h"
#include "instance/Tevrin.h"

namespace {

constexpr int kMaskWidth = 640;
constexpr int kMaskHeight = 512;
// Bits per pixel of the output image of each colour mode.
constexpr int kModeBits[] = {8, 16, 24, 32, 48, 64};
constexpr int kStillSignificantBits = 16;

}  // namespace

bool CTevrin::CreateImages() {
  for (int index = kFrame8; index <= kWhiteRef16; ++index) images_[index].reset();
  for (auto& image : images_) {
    if (!image) image.reset(new (std::nothrow) CDibImage());
  }
  for (const auto& image : images_) {
    if (!image) return false;
  }
  return true;
}

// The dark references start black, the white ones at full scale, the maps empty.
bool CTevrin::SizeReferenceImages() {
  struct Reference {
    ImageIndex index;
    uint16_t bits;
    int fill;
  };
  constexpr Reference kReferences[] = {
      {kDarkRef8, 8, 0},   {kWhiteRef8, 8, 255}, {kDarkRef16, 16, 0}, {kWhiteRef16, 16, 4095},
      {kHotMap8, 8, 0},    {kColdMap8, 8, 0},    {kHotMap16, 16, 0},  {kColdMap16, 16, 0},
      {kDotMap8, 8, 0},    {kDotMap16, 16, 0},
  };
  for (const Reference& reference : kReferences) {
    CDibImage& image = *images_[reference.index];
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

CDibImage* CTevrin::RawImage() const {
  const bool sixteen = colorMode_ == 1 || colorMode_ == 4 || colorMode_ == 5;
  return images_[sixteen ? kFrame16 : kFrame8].get();
}

CDibImage* CTevrin::OutputImage() const {
  constexpr ImageIndex kOutputs[] = {kFrame8, kFrame16, kColor24, kColor32, kColor48, kColor64};
  return images_[kOutputs[colorMode_]].get();
}

int CTevrin::OutputBits() const { return kModeBits[colorMode_]; }

// Sizes the raw and output images the current mode needs, and the sharpening copy.
bool CTevrin::SizeOutputImages(int width, int height) {
  const int mode = colorMode_;
  auto create = [&](ImageIndex index, uint16_t bits) { return images_[index]->Create(width, height, bits) != 0; };
  if (mode <= 3 && (!create(kFrame8, 8) || !images_[kFrame8]->SetPalette(0))) return false;
  if ((mode == 1 || mode == 4 || mode == 5) && !create(kFrame16, 16)) return false;
  if (mode != 1 && !create(kColor24, 24)) return false;
  if (mode == 3 && !create(kColor32, 32)) return false;
  if (mode == 4 && !create(kColor48, 48)) return false;
  if (mode == 5 && !create(kColor64, 64)) return false;
  return true;
}

// Copies the output image into a caller's buffer: rowOrder nonzero keeps the
// stored order (the first delivered row first), zero puts the last row first.
int CTevrin::CopyImageTo(BYTE* buffer, int size, int rowOrder) {
  const CDibImage& image = *OutputImage();
  if (static_cast<size_t>(size) < image.ByteSize()) {
    PostFrameMessage(0, TEVRIN_ERROR_BUFFER);
    return RecordError(TEVRIN_ERROR_BUFFER);
  }
  if (rowOrder) {
    std::memcpy(buffer, image.Bits(), image.ByteSize());
    return 1;
  }
  const size_t stride = static_cast<size_t>(image.Stride());
  for (int row = 0; row < image.Height(); ++row) {
    std::memcpy(buffer + row * stride, image.Row(image.Height() - 1 - row), stride);
  }
  return 1;
}

int CTevrin::GetImage(BYTE* buffer, int size, int rowOrder) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  std::lock_guard hold(frameLock_);
  const CDibImage* image = OutputImage();
  if (!image) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!image->Bits() || !buffer) return RecordError(TEVRIN_ERROR_BUFFER);
  if (!CopyImageTo(buffer, size, rowOrder)) return RecordError(TEVRIN_ERROR_BUFFER);
  return 1;
}

int CTevrin::SaveImage(const char* path, int format) {
  if (!device_ || !imageValid_) return RecordError(TEVRIN_ERROR_NOT_READY);
  std::lock_guard hold(frameLock_);
  const CDibImage& image = *OutputImage();
  const tevrin::files::StillImage still{image.Width(), image.Height(), image.BitCount(), image.Stride(),
                                        image.Bits()};
  return tevrin::files::SaveImageAs(path, still, format, kStillSignificantBits) ? 1 : 0;
}
