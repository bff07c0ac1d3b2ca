// What drawing a 640 x 512 frame into the preview window costs the
// acquisition thread, per colour mode: the reduction to 8 or 24 bits, the draw
// into the window and, on a display, the request to show it (the upload runs
// on the display's own thread). Run it once headless and once with DISPLAY
// set (for example under xvfb-run). Goal: at most 0.3 ms in every mode.
#include <benchmark/benchmark.h>

#include <random>

#include "instance/FrameImages.h"
#include "instance/PreviewWindow.h"

namespace {

using tevrin::image::ColorMode;
constexpr int kWidth = 640, kHeight = 512;

void FillOutput(CDibImage& image) {
  std::mt19937 random(5);
  for (int y = 0; y < image.Height(); ++y) {
    for (int i = 0; i < image.Stride(); ++i) image.Row(y)[i] = static_cast<uint8_t>(random());
  }
}

void BM_DrawFrame(benchmark::State& state) {
  const auto mode = static_cast<ColorMode>(state.range(0));
  CFrameImages images;
  if (!images.Size(mode, kWidth, kHeight)) return state.SkipWithError("cannot size the images");
  FillOutput(images.Output());
  int owner = 0;
  // The construction defaults: a top-level window with a client area of the frame size.
  auto window = CPreviewWindow::Create(PreviewPlacement{nullptr, 0, 0, kWidth, kHeight}, kWidth, kHeight, &owner);
  if (!window) return state.SkipWithError("cannot create the preview window");
  for (auto _ : state) window->Draw(images.DisplaySource(), mode != ColorMode::Gray16);
}
BENCHMARK(BM_DrawFrame)->ArgName("mode")->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
