// Callback preview on the fast board (~258 frames/s at 640 x 512): does the
// instance's preview loop deliver every frame the camera makes, and what does
// a frame cost the host (device read, copy into the ring, copy out,
// conversion, copy into the caller's buffer, notification)?
// Goal: no frame lost with the poll delay at 0 or 1 ms, also with every
// monochrome filter on (filters 1: mask, dot, gamma, contrast, sharpness,
// brightness). "lost" compares the
// camera's count with the frames announced over the same three seconds, so a
// frame in flight at either end may show as one.
#include <benchmark/benchmark.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <chrono>
#include <ctime>
#include <vector>

#include <TevrinSdk_Halden.h>

namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

HWND MessageWindow() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "CallbackPreviewBench";
  RegisterClassExA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "frames", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         windowClass.hInstance, nullptr);
}

void CallbackPreview(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const int waitMs = static_cast<int>(state.range(1));
  const bool filters = state.range(2) != 0;
  // The filters run on the moving scene: the test pattern's sawtooth wraps
  // make a third of its pixels outliers for the dot filter, as no camera image does.
  tevrin::virtualcam::Configure(filters ? "0x3280:fast" : "0x3280:fast:pattern");
  const int handle = Tevrin_Initialize(nullptr);
  Tevrin_SetPreviewWindow(handle, nullptr, 0, 0, 0, 0);
  Tevrin_SetColorMode(handle, bits);
  Tevrin_SetWaitTime(handle, waitMs);
  Tevrin_SetExposureTime(handle, 10);  // 1 ms: the frame time, not the exposure, sets the rate
  if (filters) {
    Tevrin_SetMaskFilter(handle, 1);
    Tevrin_SetDotFilter(handle, 1);
    Tevrin_SetGamma(handle, 150);
    Tevrin_SetContrast(handle, 20);
    Tevrin_SetSharpness(handle, 12);
    Tevrin_SetBrightness(handle, 30);
  }
  HWND window = MessageWindow();
  std::vector<BYTE> buffer(640 * 512 * bits / 8);
  double delivered = 0, made = 0, cpu = 0, seconds = 0;
  for (auto _ : state) {
    Tevrin_CallBackPreview(handle, window, buffer.data(), static_cast<int>(buffer.size()), 1);
    // Let the stream settle, then count over three seconds.
    Sleep(300);
    MSG message;
    while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
    }
    const uint32_t madeBefore = tevrin::virtualcam::FrameCounter(0);
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    int frames = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) {
      if (!PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
        Sleep(1);
        continue;
      }
      frames += message.message == TEVRIN_MSG_FRAME && message.wParam != 0;
    }
    made += tevrin::virtualcam::FrameCounter(0) - madeBefore;
    cpu += ProcessCpuSeconds() - cpuBefore;
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    delivered += frames;
    Tevrin_StopPreview(handle);
  }
  state.counters["camera_fps"] = made / seconds;
  state.counters["delivered_fps"] = delivered / seconds;
  state.counters["lost"] = made > delivered ? made - delivered : 0;
  state.counters["cpu_ms_per_frame"] = delivered > 0 ? cpu * 1000 / delivered : 0;
  // Where lost frames went: failed in the transfer or overwritten in the
  // device's ring before the preview loop took them.
  CameraInfo info{};
  info.size = sizeof info;
  if (Tevrin_GetCameraInfo(handle, &info)) {
    state.counters["transfer_failed"] = info.framesFailed;
    state.counters["ring_overruns"] = info.framesOverrun;
  }
  Tevrin_Release(handle);
  DestroyWindow(window);
}
BENCHMARK(CallbackPreview)
    ->ArgNames({"bits", "wait_ms", "filters"})
    ->Args({16, 1, 0})
    ->Args({16, 0, 0})
    ->Args({8, 1, 0})
    ->Args({16, 1, 1})
    ->Args({8, 1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
