// AVI recording on the fast board (~258 frames/s at 640 x 512): does every
// processed frame reach the file (recorded / processed = 1.00 on tmpfs, at
// least 0.99 on a disk that sustains ~250 MB/s) with no camera frame lost,
// and what does the conversion of one frame to 24 bits cost (goal: at most
// 0.5 ms, paid under the frame lock)?
#include <benchmark/benchmark.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "files/AviFrame.h"

namespace {

CameraInfo Info(int handle) {
  CameraInfo info{};
  info.size = sizeof info;
  Tevrin_GetCameraInfo(handle, &info);
  return info;
}

// Argument 0: bits of the colour mode; argument 1: 0 records to tmpfs
// (/dev/shm), 1 to the disk under the working directory.
void RecordTenSeconds(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const std::string path = state.range(1) == 0 ? "/dev/shm/tevrin-bench-record.avi"
                                               : (std::filesystem::current_path() / "tevrin-bench-record.avi").string();
  tevrin::virtualcam::Configure("0x3280:fast:pattern");
  const int handle = Tevrin_Initialize(nullptr);
  Tevrin_SetPreviewWindow(handle, nullptr, 0, 0, 0, 0);
  Tevrin_SetColorMode(handle, bits);
  Tevrin_SetWaitTime(handle, 0);
  Tevrin_SetExposureTime(handle, 10);  // 1 ms: the frame time, not the exposure, sets the rate
  double seconds = 0;
  CameraInfo before{}, after{};
  for (auto _ : state) {
    before = Info(handle);
    const uint32_t madeBefore = tevrin::virtualcam::FrameCounter(0);
    const auto start = std::chrono::steady_clock::now();
    if (!Tevrin_Record(handle, path.c_str(), 10000, 0)) {
      state.SkipWithError("Tevrin_Record failed");
      break;
    }
    while (Info(handle).recording) Sleep(20);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    after = Info(handle);
    state.counters["camera_fps"] = (tevrin::virtualcam::FrameCounter(0) - madeBefore) / seconds;
    Tevrin_StopPreview(handle);
  }
  const double recorded = after.framesRecorded, processed = after.framesRecorded + after.framesNotRecorded;
  state.counters["recorded"] = recorded;
  state.counters["not_recorded"] = after.framesNotRecorded;
  state.counters["recorded_per_processed"] = processed > 0 ? recorded / processed : 0;
  state.counters["MB_per_s"] = recorded * (3.0 * 640 * 512 + 8) / 1e6 / seconds;
  // Camera frames lost on the way to processing, while the recording ran.
  state.counters["ring_overruns"] = after.framesOverrun - before.framesOverrun;
  state.counters["transfer_failed"] = after.framesFailed - before.framesFailed;
  Tevrin_Release(handle);
  std::filesystem::remove(path);
}
BENCHMARK(RecordTenSeconds)
    ->ArgNames({"bits", "disk"})
    ->Args({16, 0})
    ->Args({8, 0})
    ->Args({16, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// The conversion the acquisition thread runs under the frame lock for each recorded frame.
void ConvertToAviFrame(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  constexpr int kWidth = 640, kHeight = 512;
  const int stride = (kWidth * bits / 8 + 3) & ~3;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * kHeight);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
  const tevrin::files::StillImage image{kWidth, kHeight, bits, stride, pixels.data()};
  std::vector<uint8_t> frame(3 * kWidth * kHeight);
  for (auto _ : state) {
    tevrin::files::ConvertToAviFrame(image, 12, frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
  state.counters["ms_per_frame"] =
      benchmark::Counter(state.iterations() * 1e-3, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(ConvertToAviFrame)->ArgName("bits")->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
