// Cost of drawing a 640 x 512 frame into a window the way the preview does:
// StretchBlt with a negative source height (bottom-up frame shown upright),
// 1:1 from 8- and 32-bit DIB sections, and scaled or mirrored.
// Goal: a 1:1 draw well under 1 ms, so drawing every frame of a ~258 frames/s
// stream costs a small part of one core.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 512;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(int width, int height) {
  static const ATOM atom = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = "gdi-stretch-bench";
    return RegisterClassExA(&windowClass);
  }();
  return CreateWindowExA(0, MAKEINTRESOURCEA(atom), "bench", WS_VISIBLE, 0, 0, width, height, nullptr, nullptr, nullptr,
                         nullptr);
}

// A bottom-up DIB section of the frame size, with a grey table at 8 bits,
// filled with a ramp, selected into its own memory DC.
struct Frame {
  explicit Frame(int bitCount) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colors[256];
    } info{};
    info.header = BITMAPINFOHEADER{
        sizeof(BITMAPINFOHEADER), kWidth, kHeight, 1, static_cast<WORD>(bitCount), BI_RGB, 0, 0, 0, 0, 0};
    for (int i = 0; i < 256; ++i) info.colors[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    void* pixels = nullptr;
    bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    auto* bytes = static_cast<unsigned char*>(pixels);
    for (int i = 0; i < kWidth * kHeight * bitCount / 8; ++i) bytes[i] = static_cast<unsigned char>(i * 7);
    dc = CreateCompatibleDC(nullptr);
    previous = SelectObject(dc, bitmap);
  }
  ~Frame() {
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  HBITMAP bitmap;
  HDC dc;
  HGDIOBJ previous;
};

// Arguments: bits per pixel, window scale (1 or 2), mirror horizontally (0/1).
void DrawFrame(benchmark::State& state) {
  const int bitCount = static_cast<int>(state.range(0));
  const int scale = static_cast<int>(state.range(1));
  const bool mirror = state.range(2) != 0;
  Frame frame(bitCount);
  HWND window = MakeWindow(kWidth * scale, kHeight * scale);
  HDC windowDc = GetDC(window);
  SetStretchBltMode(windowDc, COLORONCOLOR);
  const int destX = mirror ? kWidth * scale : 0;
  const int destWidth = mirror ? -kWidth * scale : kWidth * scale;
  for (auto _ : state) {
    StretchBlt(windowDc, destX, 0, destWidth, kHeight * scale, frame.dc, 0, kHeight, kWidth, -kHeight, SRCCOPY);
  }
  state.SetItemsProcessed(state.iterations());
  ReleaseDC(window, windowDc);
  DestroyWindow(window);
}
BENCHMARK(DrawFrame)
    ->ArgNames({"bits", "scale", "mirrorH"})
    ->Args({8, 1, 0})
    ->Args({32, 1, 0})
    ->Args({24, 1, 0})
    ->Args({8, 2, 0})
    ->Args({32, 2, 0})
    ->Args({8, 1, 1})
    ->Args({32, 1, 1})
    ->Unit(benchmark::kMicrosecond);

// Reading a window back into a 32-bit DIB section, as tests do.
void ReadBack(benchmark::State& state) {
  Frame target(32);
  HWND window = MakeWindow(kWidth, kHeight);
  HDC windowDc = GetDC(window);
  for (auto _ : state) BitBlt(target.dc, 0, 0, kWidth, kHeight, windowDc, 0, 0, SRCCOPY);
  ReleaseDC(window, windowDc);
  DestroyWindow(window);
}
BENCHMARK(ReadBack)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
