// The preview window: a child of the application's window or a top-level
// window of its own, showing each processed frame. Image rows are stored
// top row first while the bitmaps say bottom-up, so both drawing paths
// mirror vertically.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "image/OutputRoutines.h"
#include "instance/Tevrin.h"

namespace {

constexpr char kChildName[] = "ActiveMovie Window";
constexpr char kTopLevelName[] = "Active Window";
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr DWORD kTopLevelStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kChildIdentifier = 6540;

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool CTevrin::PreviewConfigured() const {
  return previewParent_ || previewPlacement_[0] || previewPlacement_[1] || previewPlacement_[2] ||
         previewPlacement_[3];
}

HWND CTevrin::CreatePreviewWindow() {
  const auto address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this));
  std::snprintf(className_, sizeof className_, "VideoRenderer_%08x_%08x", address,
                static_cast<unsigned>(timeGetTime() + static_cast<DWORD>(std::rand())));
  const HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PreviewWindowProc;
  windowClass.hInstance = module;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = className_;
  if (!RegisterClassExA(&windowClass)) return nullptr;

  HWND window = nullptr;
  if (previewParent_) {
    window = CreateWindowExA(0, className_, kChildName, kChildStyle, previewPlacement_[0], previewPlacement_[1],
                             previewPlacement_[2], previewPlacement_[3], previewParent_,
                             reinterpret_cast<HMENU>(static_cast<intptr_t>(kChildIdentifier)), module, nullptr);
  } else {
    const int divisor = SubSampleDivisor(subSample_);
    RECT rect{0, 0, geometry_.EH / divisor, geometry_.EV / divisor};
    if (!AdjustWindowRectEx(&rect, kTopLevelStyle, FALSE, 0)) return nullptr;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    window = CreateWindowExA(0, className_, kTopLevelName, kTopLevelStyle, x, y, width, height, nullptr, nullptr,
                             module, nullptr);
  }
  if (!window) return nullptr;
  SetFocus(window);
  ShowWindow(window, SW_SHOW);
  if (!UpdateWindow(window)) return nullptr;
  return window;
}

void CTevrin::DestroyPreviewWindow() {
  if (previewDc_) ReleaseDC(previewWindow_, previewDc_);
  if (previewWindow_) DestroyWindow(previewWindow_);
  previewDc_ = nullptr;
  previewWindow_ = nullptr;
}

// The back-buffer for scaled drawing, at the window's client size.
void CTevrin::SizeDisplayImage() {
  if (!previewWindow_ || !previewDc_ || !IsWindowVisible(previewWindow_)) return;
  RECT client{};
  GetClientRect(previewWindow_, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  CDibImage& display = *images_[kDisplayImage];
  const uint16_t bits = colorMode_ <= 1 ? 8 : 24;
  if (display.Width() == client.right && display.Height() == client.bottom && display.BitCount() == bits) return;
  if (display.Create(client.right, client.bottom, bits) && bits == 8) display.SetPalette(0);
}

void CTevrin::DrawFrame() {
  if (!previewWindow_) return;
  // The source: an 8- or 24-bit image of the output.
  CDibImage* source = OutputImage();
  if (colorMode_ == 1) {
    images_[kFrame8]->Apply(tevrin::image::kDisplayGray16, *source);
    source = images_[kFrame8].get();
  } else if (colorMode_ >= 3) {
    images_[kColor24]->Apply(colorMode_ == 3 ? tevrin::image::kDisplayColor32 : tevrin::image::kDisplayColor48,
                             *source);
    source = images_[kColor24].get();
  }
  RECT client{};
  GetClientRect(previewWindow_, &client);
  if (!IsWindowVisible(previewWindow_) || client.right <= 0 || client.bottom <= 0 || !previewDc_) return;
  const int width = source->Width();
  const int height = source->Height();
  if (client.right == width && client.bottom == height && colorMode_ != 1) {
    StretchBlt(previewDc_, 0, 0, width, height, source->Dc(), 0, height, width, -height, SRCCOPY);
    return;
  }
  SizeDisplayImage();
  CDibImage& display = *images_[kDisplayImage];
  display.Apply(display.BitCount() == 8 ? tevrin::image::kScaleGray8 : tevrin::image::kScaleColor24, *source);
  BitBlt(previewDc_, 0, 0, client.right, client.bottom, display.Dc(), 0, 0, SRCCOPY);
}
