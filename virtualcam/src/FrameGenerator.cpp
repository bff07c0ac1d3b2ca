#include "FrameGenerator.h"

#include <tevrin/virtualcam/VirtualCameras.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tevrin::virtualcam {
namespace {

constexpr int kNoiseTableSize = 1 << 16;
constexpr int kMaxRowLength = 4096;
constexpr int kDefectsPerKind = 8;
constexpr double kReferenceExposureNs = 7e6;  // the default exposure gives the scene's own levels
constexpr int kNoiseSpread = 6;
constexpr int kNoiseHeadroom = 64;         // beyond the largest noise value
constexpr int kMaxFactor = (1 << 19) - 1;  // x2048 in 1/256 steps

// Signal of one pixel: scaled scene value, capped, plus black level and noise.
inline int Level(int sceneValue, int factor, int black, int noise) {
  int signal = std::min((sceneValue * factor) >> 8, FrameGenerator::kMaxSample + kNoiseHeadroom);
  return std::clamp(signal + black + noise, 0, FrameGenerator::kMaxSample);
}

uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// Brighter to the right and towards the bottom, with a ripple and a bright
// disc in the upper left, so that any turn or mirror of the image shows.
uint16_t SceneSample(int x, int y) {
  double level = 300.0 + 1600.0 * x / FrameGenerator::kSceneWidth + 700.0 * y / FrameGenerator::kSceneHeight;
  level += 250.0 * std::sin(x / 23.0) * std::sin(y / 19.0);
  double dx = x - 150.0, dy = y - 120.0;
  if (dx * dx + dy * dy < 60.0 * 60.0) level += 900.0;
  return static_cast<uint16_t>(std::clamp(level, 0.0, double(FrameGenerator::kMaxSample)));
}

}  // namespace

uint16_t PatternSample(int x, int y, uint32_t counter) {
  return static_cast<uint16_t>((x + FrameGenerator::kSceneWidth * y + 7u * (counter & 0xFF)) &
                               FrameGenerator::kMaxSample);
}

// The bands run top to bottom: every row is the same.
SceneColor ColorSceneAt(int x, int) {
  constexpr int kBandWidth = 160;
  constexpr SceneColor kBands[] = {{3200, 400, 300}, {400, 3000, 500}, {300, 500, 3100}, {2400, 2400, 2400}};
  return kBands[(x / kBandWidth) % 4];
}

FrameGenerator::FrameGenerator(uint64_t seed, bool pattern) : seed_(seed), pattern_(pattern) {
  scene_.resize(size_t(kSceneHeight) * kSceneWidth * 2);
  reversed_.resize(scene_.size());
  for (int y = 0; y < kSceneHeight; ++y) {
    for (int x = 0; x < kSceneWidth; ++x) {
      uint16_t value = SceneSample(x, y);
      scene_[size_t(y) * kSceneWidth * 2 + x] = value;
      scene_[size_t(y) * kSceneWidth * 2 + kSceneWidth + x] = value;
      reversed_[size_t(y) * kSceneWidth * 2 + kSceneWidth - 1 - x] = value;
      reversed_[size_t(y) * kSceneWidth * 2 + 2 * kSceneWidth - 1 - x] = value;
    }
  }
  noise_.resize(kNoiseTableSize + kMaxRowLength);
  uint64_t state = Mix(seed);
  for (auto& value : noise_) {
    state = Mix(state);
    // Sum of four uniform bytes: close to a normal spread around zero.
    int sum = int(state & 0xFF) + int((state >> 8) & 0xFF) + int((state >> 16) & 0xFF) + int((state >> 24) & 0xFF);
    value = static_cast<int16_t>((sum - 510) * kNoiseSpread / 74);
  }
  for (int i = 0; i < 2 * kDefectsPerKind; ++i) {
    state = Mix(state);
    defects_.push_back({int(state % kSceneWidth), int((state >> 32) % kSceneHeight), i < kDefectsPerKind});
  }
  columns_.resize(kMaxRowLength);
}

FrameGenerator::Direction FrameGenerator::ColumnDirection(int width) const {
  bool ascending = true, descending = true;
  for (int i = 1; i < width; ++i) {
    ascending = ascending && columns_[i] == columns_[0] + i;
    descending = descending && columns_[i] == columns_[0] - i;
  }
  return ascending ? Direction::kAscending : descending ? Direction::kDescending : Direction::kScattered;
}

int FrameGenerator::SceneColumn(const FrameParameters& frame, int outputColumn) const {
  int readout = frame.mirrorHorizontal ? frame.format.width - 1 - outputColumn : outputColumn;
  int sensor = std::min(frame.window.x + readout * frame.window.step, kSceneWidth - 1);
  return frame.mountedHalfTurn ? kSceneWidth - 1 - sensor : sensor;
}

int FrameGenerator::SceneRow(const FrameParameters& frame, int outputRow) const {
  int readout = frame.flipVertical ? frame.format.height - 1 - outputRow : outputRow;
  int sensor = std::min(frame.window.y + readout * frame.window.step, kSceneHeight - 1);
  return frame.mountedHalfTurn ? kSceneHeight - 1 - sensor : sensor;
}

template <class Sample>
void FrameGenerator::RenderMosaic(const FrameParameters& frame, Sample* out) {
  constexpr int shift = sizeof(Sample) == 1 ? 4 : 0;
  for (int y = 0; y < frame.format.height; ++y) {
    Sample* row = out + size_t(y) * frame.format.width;
    for (int x = 0; x < frame.format.width; ++x) {
      const SceneColor colour = ColorSceneAt(x, y);
      const bool evenRow = y % 2 == 0, evenColumn = x % 2 == 0;
      const int value = evenRow == evenColumn ? colour.green : evenRow ? colour.blue : colour.red;
      row[x] = Sample(value >> shift);
    }
  }
}

template <class Sample>
void FrameGenerator::Render(const FrameParameters& frame, Sample* out) {
  if (frame.colorMosaic) {
    RenderMosaic(frame, out);
    return;
  }
  constexpr int shift = sizeof(Sample) == 1 ? 4 : 0;
  const int width = frame.format.width;
  const int height = frame.format.height;
  for (int i = 0; i < width; ++i) columns_[i] = SceneColumn(frame, i);
  const int32_t* columns = columns_.data();

  if (pattern_) {
    for (int j = 0; j < height; ++j) {
      uint32_t rowBase = uint32_t(kSceneWidth) * SceneRow(frame, j) + 7u * (frame.frameCounter & 0xFF);
      Sample* row = out + size_t(j) * width;
      for (int i = 0; i < width; ++i) row[i] = Sample(((rowBase + columns[i]) & kMaxSample) >> shift);
    }
    return;
  }

  // Exposure and gain scale the scene in 1/256 steps; past the cap every
  // value saturates whatever the noise, and the product stays within 31 bits.
  const double scale = frame.exposureNs / kReferenceExposureNs * std::pow(10.0, frame.analogGain / 200.0);
  const int factor = static_cast<int>(std::min(scale * 256.0, double(kMaxFactor)));
  const int black = frame.blackLevel;
  // The scene drifts one column every second frame.
  const int drift = int((frame.frameCounter / 2) % kSceneWidth);
  const Direction direction = ColumnDirection(width);
  for (int j = 0; j < height; ++j) {
    const size_t rowStart = size_t(SceneRow(frame, j)) * kSceneWidth * 2;
    const int16_t* noise = noise_.data() + Mix(seed_ ^ (uint64_t(frame.frameCounter) << 20) ^ j) % kNoiseTableSize;
    Sample* row = out + size_t(j) * width;
    if (direction == Direction::kScattered) {
      const uint16_t* scene = scene_.data() + rowStart + drift;
      for (int i = 0; i < width; ++i) row[i] = Sample(Level(scene[columns[i]], factor, black, noise[i]) >> shift);
      continue;
    }
    // Contiguous columns read the scene row, or its mirror image, straight through.
    const uint16_t* scene =
        direction == Direction::kAscending
            ? scene_.data() + rowStart + columns[0] + drift
            : reversed_.data() + rowStart + (2 * kSceneWidth - 1 - columns[0] - drift) % kSceneWidth;
    for (int i = 0; i < width; ++i) row[i] = Sample(Level(scene[i], factor, black, noise[i]) >> shift);
  }
  PlaceDefects(frame, reinterpret_cast<uint8_t*>(out));
}

void FrameGenerator::PlaceDefects(const FrameParameters& frame, uint8_t* out) const {
  const int step = frame.window.step;
  const bool wide = frame.format.bytesPerPixel == 2;
  for (const Defect& defect : defects_) {
    int column = defect.x - frame.window.x, row = defect.y - frame.window.y;
    if (column < 0 || row < 0 || column % step || row % step) continue;
    column /= step;
    row /= step;
    if (column >= frame.format.width || row >= frame.format.height) continue;
    if (frame.mirrorHorizontal) column = frame.format.width - 1 - column;
    if (frame.flipVertical) row = frame.format.height - 1 - row;
    int value = defect.hot ? kMaxSample : std::min(frame.blackLevel, kMaxSample);
    size_t index = size_t(row) * frame.format.width + column;
    if (wide) {
      uint16_t sample = static_cast<uint16_t>(value);
      std::memcpy(out + index * 2, &sample, 2);
    } else {
      out[index] = static_cast<uint8_t>(value >> 4);
    }
  }
}

void FrameGenerator::Generate(const FrameParameters& frame, uint8_t* out) {
  if (frame.format.width > kMaxRowLength) return;
  if (frame.format.bytesPerPixel == 2) {
    Render(frame, reinterpret_cast<uint16_t*>(out));
  } else {
    Render(frame, out);
  }
}

}  // namespace tevrin::virtualcam
