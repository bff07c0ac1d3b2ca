// ProcessFrame on one 640 x 512 frame, one core, no filters: the monochrome
// modes (goal <= 0.3 ms) and the colour modes (goal <= 2 ms), plus the gray
// modes and the software mirror for comparison. The frame is refreshed from
// a copy before each run because the steps work in place.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "image/DibImage.h"
#include "image/ProcessFrame.h"
#include "settings/SettingsBlocks.h"

namespace {

using tevrin::image::FrameJob;
using tevrin::image::MirrorFlags;

constexpr int kWidth = 640, kHeight = 512;

struct Pipeline {
  CDibImage images[6];
  CDibImage pristine8, pristine16;
  ImageSettings settings;

  Pipeline() {
    const uint16_t bits[6] = {8, 16, 24, 32, 48, 64};
    for (int i = 0; i < 6; ++i) images[i].Create(kWidth, kHeight, bits[i]);
    pristine8.Create(kWidth, kHeight, 8);
    pristine16.Create(kWidth, kHeight, 16);
    std::mt19937 random(3);
    for (int y = 0; y < kHeight; ++y) {
      auto* wide = reinterpret_cast<uint16_t*>(pristine16.Row(y));
      for (int x = 0; x < kWidth; ++x) {
        wide[x] = static_cast<uint16_t>(random() % 4096);
        pristine8.Row(y)[x] = static_cast<uint8_t>(wide[x] >> 4);
      }
    }
    settings.bayerMode = 3;
    settings.bayerGainRed = settings.bayerGainGreen = settings.bayerGainBlue = 100;
    settings.gamma = 100;
    settings.grayGainR = settings.grayGainG1 = settings.grayGainG2 = settings.grayGainB = 128;
  }

  FrameJob Job(int colorMode, MirrorFlags mirror) {
    FrameJob job;
    job.images = {&images[0], &images[1], &images[2], &images[3], &images[4], &images[5]};
    job.settings = &settings;
    job.colorMode = static_cast<tevrin::image::ColorMode>(colorMode);
    job.mirror = mirror;
    return job;
  }

  void RefreshRaw() {
    std::memcpy(images[0].Bits(), pristine8.Bits(), pristine8.ByteSize());
    std::memcpy(images[1].Bits(), pristine16.Bits(), pristine16.ByteSize());
  }
};

void Run(benchmark::State& state, int colorMode, int grayMode, MirrorFlags mirror) {
  Pipeline pipeline;
  pipeline.settings.grayMode = grayMode;
  const FrameJob job = pipeline.Job(colorMode, mirror);
  for (auto _ : state) {
    state.PauseTiming();
    pipeline.RefreshRaw();
    state.ResumeTiming();
    benchmark::DoNotOptimize(tevrin::image::ProcessFrame(job));
    benchmark::ClobberMemory();
  }
}

void BM_ProcessFrame(benchmark::State& state) {
  Run(state, static_cast<int>(state.range(0)), 0, {});
}
BENCHMARK(BM_ProcessFrame)->ArgName("mode")->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

void BM_ProcessFrameGrayMode(benchmark::State& state) {
  Run(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), {});
}
BENCHMARK(BM_ProcessFrameGrayMode)
    ->ArgNames({"mode", "gray"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 2})
    ->Unit(benchmark::kMicrosecond);

void BM_ProcessFrameMirrored(benchmark::State& state) {
  Run(state, static_cast<int>(state.range(0)), 0, MirrorFlags{true, true, false, false});
}
BENCHMARK(BM_ProcessFrameMirrored)->ArgName("mode")->Arg(0)->Arg(1)->Arg(2)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
