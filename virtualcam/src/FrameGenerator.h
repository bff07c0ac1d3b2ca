// Frame content: an upright scene as the sensor sees it through its mounting,
// window, binning and flips, at a level set by exposure and gain, on top of
// the black level, with noise and a few fixed hot and cold pixels; or a test
// pattern whose values encode scene position and frame counter. Everything is
// a function of the seed and the frame counter, and the per-pixel loop only
// looks up tables made once.
#pragma once

#include <cstdint>
#include <vector>

#include "Fpga.h"
#include "Imx991Sensor.h"

namespace tevrin::virtualcam {

struct FrameParameters {
  OutputFormat format;
  SensorWindow window;
  bool mountedHalfTurn = false;  // the 0x3280 model carries its sensor turned by 180 degrees
  bool flipVertical = false;
  bool mirrorHorizontal = false;
  uint32_t frameCounter = 0;
  double exposureNs = 7e6;
  int analogGain = 0;  // 0.1 dB steps
  int blackLevel = 60;
  bool colorMosaic = false;  // a Bayer mosaic of the colour scene, noise-free
};

class FrameGenerator {
 public:
  FrameGenerator(uint64_t seed, bool pattern);

  // Writes format.ImageBytes() bytes: rows in readout order, 16-bit samples
  // little-endian with 12 significant bits, or their upper 8 bits.
  void Generate(const FrameParameters& frame, uint8_t* out);

  static constexpr int kSceneWidth = 640;
  static constexpr int kSceneHeight = 512;
  static constexpr int kMaxSample = 4095;

 private:
  struct Defect {
    int x, y;  // sensor coordinates
    bool hot;
  };
  enum class Direction { kAscending, kDescending, kScattered };
  Direction ColumnDirection(int width) const;
  template <class Sample>
  void Render(const FrameParameters& frame, Sample* out);
  template <class Sample>
  static void RenderMosaic(const FrameParameters& frame, Sample* out);
  void PlaceDefects(const FrameParameters& frame, uint8_t* out) const;
  int SceneColumn(const FrameParameters& frame, int outputColumn) const;
  int SceneRow(const FrameParameters& frame, int outputRow) const;

  const uint64_t seed_;
  const bool pattern_;
  std::vector<uint16_t> scene_;     // kSceneHeight rows of twice kSceneWidth, so a shifted row needs no wrap
  std::vector<uint16_t> reversed_;  // the same rows right to left
  std::vector<int16_t> noise_;
  std::vector<Defect> defects_;
  std::vector<int32_t> columns_;  // per output column: scene column
};

// Value of the test pattern at upright scene position (x, y) in frame `counter`.
uint16_t PatternSample(int x, int y, uint32_t counter);

}  // namespace tevrin::virtualcam
