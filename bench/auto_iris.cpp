// The automatic exposure's control step on one 640 x 512 frame, one core
// (goal <= 20 us): the five regions measured and the factor computed, for
// 8-bit and 16-bit frames, and the whole step with a device object that has
// no camera (its setters fail at once, so only the SDK's own work counts).
#include <benchmark/benchmark.h>

#include <random>

#include "device/TevrinU3K5Base.h"
#include "image/DibImage.h"
#include "image/ExposureCorrection.h"
#include "instance/AutoIris.h"

namespace {

constexpr int kWidth = 640, kHeight = 512;

// Bright enough everywhere that every frame calls for a change.
void Fill(CDibImage& image, uint16_t bits) {
  image.Create(kWidth, kHeight, bits);
  std::mt19937 random(5);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const auto level = static_cast<uint16_t>(3500 + random() % 596);
      if (bits == 8) {
        image.Row(y)[x] = static_cast<uint8_t>(level >> 4);
      } else {
        reinterpret_cast<uint16_t*>(image.Row(y))[x] = level;
      }
    }
  }
}

void Correction(benchmark::State& state, uint16_t bits) {
  CDibImage frame;
  Fill(frame, bits);
  for (auto _ : state) benchmark::DoNotOptimize(tevrin::image::ExposureCorrection(frame));
}

void Step(benchmark::State& state, uint16_t bits, int mode) {
  CDibImage frame;
  Fill(frame, bits);
  CTevrinU3K5Base device;
  for (auto _ : state) benchmark::DoNotOptimize(StepAutoIris(mode, frame, device));
}

BENCHMARK_CAPTURE(Correction, gray8, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Correction, gray16, 16)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Step, exposure_gray8, 8, kAutoIrisExposure)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Step, gain_gray16, 16, kAutoIrisGain)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
