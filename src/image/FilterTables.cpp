#include "image/FilterTables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tevrin::image {
namespace {

// Rows of the sensor's width in four 32-bit sums per pixel fit without growing.
constexpr size_t kRowScratchReserve = 640 * 4 * sizeof(int32_t);

int GammaEntry(int gamma, int input, int max) {
  if (input == 0) return 0;
  // Gamma 0 is an infinite exponent: every entry but the last falls to 0.
  const double exponent = gamma == 0 ? std::numeric_limits<double>::infinity() : 100.0 / gamma;
  const double value = max * std::pow(static_cast<double>(input) / max, exponent);
  return std::min(static_cast<int>(value), max);
}

// A positive contrast c clips the lowest and highest c/256 of the range and
// stretches the rest; a negative one compresses the range toward the middle.
int ContrastEntry(int contrast, int input, int max) {
  const int range = max + 1;
  const int clip = contrast * range / 256;
  if (input < clip) return 0;
  if (input > max - clip) return max;
  return static_cast<int>(static_cast<double>(range) / (range - 2 * clip) * (input - clip));
}

// Single precision, as brightness has always been computed.
int BrightnessEntry(int brightness, int input, int max) {
  const float factor = brightness < 0 ? 1.0f - static_cast<float>(std::abs(brightness)) / 255.0f
                                      : 1.0f + 10.0f * static_cast<float>(brightness) / 255.0f;
  return std::min(static_cast<int>(static_cast<float>(input) * factor), max);
}

}  // namespace

int CurveEntry(Curve curve, int setting, int input, int max) {
  switch (curve) {
    case Curve::kGamma:
      return GammaEntry(setting, input, max);
    case Curve::kContrast:
      return ContrastEntry(setting, input, max);
    case Curve::kBrightness:
      return BrightnessEntry(setting, input, max);
  }
  return input;
}

template <typename Sample>
const Sample* CFilterTables::CachedCurve<Sample>::For(Curve curve, int wanted) {
  if (setting != wanted) {
    const int max = static_cast<int>(entries.size()) - 1;
    for (int i = 0; i <= max; ++i) entries[i] = static_cast<Sample>(CurveEntry(curve, wanted, i, max));
    setting = wanted;
  }
  return entries.data();
}

CFilterTables::CFilterTables() {
  for (auto& cached : curves8_) cached.entries.resize(256);
  for (auto& cached : curves16_) cached.entries.resize(65536);
  RowScratch(kRowScratchReserve);
}

const uint8_t* CFilterTables::Curve8(Curve curve, int setting) {
  return curves8_[static_cast<int>(curve)].For(curve, setting);
}

const uint16_t* CFilterTables::Curve16(Curve curve, int setting) {
  return curves16_[static_cast<int>(curve)].For(curve, setting);
}

void* CFilterTables::RowScratch(size_t bytes) {
  if (rowScratchBytes_ < bytes) {
    rowScratch_ = AllocateAlignedPixels(bytes);
    rowScratchBytes_ = rowScratch_ ? bytes : 0;
  }
  return rowScratch_.get();
}

}  // namespace tevrin::image
