// The device object's acquisition and ring on the fast board (0x3280,
// 640 x 512, about 258 frames/s) in pattern mode: the acquisition thread
// streams in mode 0 while this thread waits for every frame and copies it
// out with its slot data. Reports frames received against the gaps in the
// camera's frame counter, and the process CPU per frame (which includes the
// virtual camera making the frame; bench_virtualcam_frame measures that part),
// and the device's own frame counters: completed, failed, lost to overrun
// and timed out. Goal: no gaps, no overruns and under 1 ms of CPU per frame.
#include <benchmark/benchmark.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <time.h>

#include <chrono>
#include <vector>

#include "device/TevrinUSB3K5SimpleSdk.h"

namespace {

using tevrin::device::CaptureMode;
using tevrin::device::WaitResult;

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

void RingStream(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0));
  const int bottomUp = static_cast<int>(state.range(1));
  if (!tevrin::virtualcam::Configure("0x3280:fast:pattern")) {
    state.SkipWithError("no virtual camera");
    return;
  }
  CTevrinUSB3K5SimpleSdk device;
  device.SetProductId(0x3280);
  device.CreateController(nullptr, nullptr);
  // A late first wait may find the write index come round to the last-read
  // index and answer 2; the next frame answers 3.
  WaitResult first = WaitResult::kNoNewFrame;
  if (device.OpenDevice(0) && device.SetBitDepth(depth) && device.StartCapture(CaptureMode::kContinuous)) {
    for (int i = 0; i < 3 && first != WaitResult::kNewFrame; ++i) first = device.WaitFrame(5000);
  }
  if (first != WaitResult::kNewFrame) {
    state.SkipWithError("the camera does not stream");
    return;
  }
  std::vector<uint8_t> frame(device.FrameSize());
  int previous = -1;
  device.GetFrameInfo(frame.data(), &previous, nullptr, nullptr, nullptr, nullptr, bottomUp);
  const tevrin::device::FrameStatistics before = device.Statistics();

  int64_t frames = 0, gaps = 0, missed = 0, notNew = 0;
  const double cpuStart = ProcessCpuSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  for (auto _ : state) {
    const WaitResult result = device.WaitFrame(1000);
    if (result == WaitResult::kError) {
      state.SkipWithError("acquisition failed");
      break;
    }
    if (result != WaitResult::kNewFrame) {
      ++notNew;
      continue;
    }
    int counter = -1, word28 = 0, word32 = 0, word40 = 0, word44 = 0;
    device.GetFrameInfo(frame.data(), &counter, &word28, &word32, &word40, &word44, bottomUp);
    benchmark::DoNotOptimize(frame.data());
    const int step = (counter - previous) & 0xFF;
    if (step != 1) {
      ++gaps;
      missed += step == 0 ? 0 : step - 1;
    }
    previous = counter;
    ++frames;
  }
  const double cpu = ProcessCpuSeconds() - cpuStart;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  const float acquired = device.FrameRate();
  device.StopCapture(1);
  const tevrin::device::FrameStatistics after = device.Statistics();

  state.counters["frames"] = static_cast<double>(frames);
  state.counters["gaps"] = static_cast<double>(gaps);
  state.counters["missed"] = static_cast<double>(missed);
  state.counters["not_new"] = static_cast<double>(notNew);
  state.counters["fps"] = frames / wall;
  state.counters["thread_fps"] = acquired;
  state.counters["cpu_ms_per_frame"] = frames ? cpu * 1e3 / frames : 0;
  state.counters["completed"] = static_cast<double>(after.completed - before.completed);
  state.counters["failed"] = static_cast<double>(after.failed - before.failed);
  state.counters["overruns"] = static_cast<double>(after.overruns - before.overruns);
  state.counters["timeouts"] = static_cast<double>(after.timeouts - before.timeouts);
}
BENCHMARK(RingStream)
    ->ArgNames({"sixteen", "bottom_up"})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Iterations(1500)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
