// The image filters on one 640 x 512 frame, one core: each monochrome filter
// (goal <= 0.3 ms on 8-bit, <= 0.5 ms on 16-bit frames), the dot filter
// (<= 1 ms), every monochrome filter together through ProcessFrame (<= 2 ms)
// and each colour filter on 24 to 64 bits (<= 2 ms). The image is refreshed
// from a copy before each run, outside the timing, because filters work in
// place. 16-bit monochrome frames carry 12-bit values, as the camera sends.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "image/DibImage.h"
#include "image/OutputFilters.h"
#include "image/ProcessFrame.h"
#include "image/RawFilters.h"
#include "settings/SettingsBlocks.h"

namespace {

using tevrin::image::CFilterTables;
using tevrin::image::Curve;

constexpr int kWidth = 640, kHeight = 512;

enum Filter { kGamma, kContrast, kBrightness, kSharpness, kHueSaturation, kMask, kDot };

// A smooth ramp with noise well below the dot filter's threshold and a few
// hundred outliers, as a lit scene gives it.
void FillScene(CDibImage& image, int bits) {
  std::mt19937 random(5);
  const bool wide = bits == 16 || bits == 48 || bits == 64;
  const int range = bits == 16 ? 4096 : wide ? 65536 : 256;
  const int samplesPerPixel = image.BytesPerPixel() / (wide ? 2 : 1);
  for (int y = 0; y < image.Height(); ++y) {
    uint8_t* row = image.Row(y);
    for (int i = 0; i < image.Width() * samplesPerPixel; ++i) {
      const int ramp = (i / samplesPerPixel + y) * (range - range / 8) / (kWidth + kHeight);
      const int value = ramp + static_cast<int>(random() % (range / 16));
      if (wide) {
        reinterpret_cast<uint16_t*>(row)[i] = static_cast<uint16_t>(value);
      } else {
        row[i] = static_cast<uint8_t>(value);
      }
    }
  }
  for (int i = 0; i < 300; ++i) {
    uint8_t* sample = image.Row(static_cast<int>(random() % kHeight)) + random() % kWidth * image.BytesPerPixel();
    sample[0] = 0xFF;
    if (bits == 16) sample[1] = 0x0F;
  }
}

// References as a flat-field calibration leaves them: dark near 100, white
// near 3900 (or 6 and 243), a few hundred defects in the maps.
struct Masks : tevrin::image::DefectMaskAccess {
  CDibImage images[2][5];  // dark, white, hot, cold, marks per depth

  Masks() {
    std::mt19937 random(9);
    for (int depth = 0; depth < 2; ++depth) {
      const int scale = depth == 0 ? 1 : 16;
      for (CDibImage& image : images[depth]) image.Create(kWidth, kHeight, depth == 0 ? 8 : 16);
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          Set(images[depth][0], x, y, (6 + random() % 3) * scale);
          Set(images[depth][1], x, y, (240 + random() % 6) * scale);
        }
      }
      for (int i = 0; i < 300; ++i) Set(images[depth][2 + i % 2], random() % kWidth, random() % kHeight, 1);
    }
  }
  static void Set(CDibImage& image, int x, int y, int value) {
    if (image.BitCount() == 8) image.Row(y)[x] = static_cast<uint8_t>(value);
    if (image.BitCount() == 16) reinterpret_cast<uint16_t*>(image.Row(y))[x] = static_cast<uint16_t>(value);
  }
  void WithDefectMasks(int bits, const std::function<void(const tevrin::image::DefectMasks&)>& use) override {
    CDibImage* m = images[bits == 16 ? 1 : 0];
    use({&m[0], &m[1], &m[2], &m[3], &m[4]});
  }
};

struct Bench {
  CDibImage image, pristine, copy;
  CFilterTables tables;
  Masks masks;

  explicit Bench(int bits) {
    image.Create(kWidth, kHeight, static_cast<uint16_t>(bits));
    pristine.Create(kWidth, kHeight, static_cast<uint16_t>(bits));
    copy.Create(kWidth, kHeight, static_cast<uint16_t>(bits));
    FillScene(pristine, bits);
  }
  void Refresh() { std::memcpy(image.Bits(), pristine.Bits(), pristine.ByteSize()); }

  void Run(Filter filter) {
    tevrin::image::DefectMasks view;
    masks.WithDefectMasks(image.BitCount(), [&](const tevrin::image::DefectMasks& m) { view = m; });
    switch (filter) {
      case kGamma:
        return tevrin::image::ApplyCurve(image, Curve::kGamma, 150, tables);
      case kContrast:
        return tevrin::image::ApplyCurve(image, Curve::kContrast, 20, tables);
      case kBrightness:
        return tevrin::image::ApplyCurve(image, Curve::kBrightness, 30, tables);
      case kSharpness:
        return tevrin::image::Sharpen(image, copy, 12, tables);
      case kHueSaturation:
        return tevrin::image::ShiftHueSaturation(image, 30, 40);
      case kMask:
        return tevrin::image::ApplyMaskFilter(image, view, {});
      case kDot:
        return tevrin::image::ApplyDotFilter(image, view, {});
    }
  }
};

void BM_Filter(benchmark::State& state) {
  Bench bench(static_cast<int>(state.range(0)));
  const auto filter = static_cast<Filter>(state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    bench.Refresh();
    state.ResumeTiming();
    bench.Run(filter);
    benchmark::ClobberMemory();
  }
}

void MonochromeArgs(benchmark::internal::Benchmark* b) {
  for (int bits : {8, 16}) {
    for (Filter filter : {kGamma, kContrast, kBrightness, kSharpness, kMask, kDot}) b->Args({bits, filter});
  }
}
BENCHMARK(BM_Filter)
    ->Name("Monochrome")
    ->ArgNames({"bits", "filter"})
    ->Apply(MonochromeArgs)
    ->Unit(benchmark::kMicrosecond);

void ColourArgs(benchmark::internal::Benchmark* b) {
  for (int bits : {24, 32, 48, 64}) {
    for (Filter filter : {kHueSaturation, kGamma, kContrast, kSharpness, kBrightness}) b->Args({bits, filter});
  }
}
BENCHMARK(BM_Filter)->Name("Colour")->ArgNames({"bits", "filter"})->Apply(ColourArgs)->Unit(benchmark::kMicrosecond);

// Mask, dot, gamma, contrast, sharpness and brightness in one ProcessFrame.
void BM_AllMonochromeFilters(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  Bench bench(bits);
  CDibImage unused[5];
  ImageSettings settings;
  settings.gamma = 150;
  settings.contrast = 20;
  settings.sharpness = 12;
  settings.brightness = 30;
  tevrin::image::FrameJob job;
  job.images.frame8 = bits == 8 ? &bench.image : &unused[0];
  job.images.frame16 = bits == 16 ? &bench.image : &unused[1];
  job.images.sharpenCopy = &bench.copy;
  job.settings = &settings;
  job.colorMode = bits == 8 ? tevrin::image::ColorMode::Gray8 : tevrin::image::ColorMode::Gray16;
  job.rawFilters = {true, true, {}};
  job.masks = &bench.masks;
  job.tables = &bench.tables;
  for (auto _ : state) {
    state.PauseTiming();
    bench.Refresh();
    state.ResumeTiming();
    benchmark::DoNotOptimize(tevrin::image::ProcessFrame(job));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AllMonochromeFilters)->ArgName("bits")->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
