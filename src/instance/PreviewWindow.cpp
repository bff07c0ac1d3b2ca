// Image rows are stored top row first while the bitmaps say bottom-up, so
// both drawing paths mirror vertically.
#include "instance/PreviewWindow.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "image/OutputRoutines.h"

namespace {

constexpr char kChildName[] = "ActiveMovie Window";
constexpr char kTopLevelName[] = "Active Window";
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr DWORD kTopLevelStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kChildIdentifier = 6540;

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateChild(const char* className, const PreviewPlacement& placement) {
  return CreateWindowExA(0, className, kChildName, kChildStyle, placement.x, placement.y, placement.width,
                         placement.height, placement.parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(kChildIdentifier)), GetModuleHandleA(nullptr),
                         nullptr);
}

HWND CreateTopLevel(const char* className, int clientWidth, int clientHeight) {
  RECT rect{0, 0, clientWidth, clientHeight};
  if (!AdjustWindowRectEx(&rect, kTopLevelStyle, FALSE, 0)) return nullptr;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  return CreateWindowExA(0, className, kTopLevelName, kTopLevelStyle, x, y, width, height, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

std::unique_ptr<CPreviewWindow> CPreviewWindow::Create(const PreviewPlacement& placement, int clientWidth,
                                                       int clientHeight, const void* owner) {
  std::unique_ptr<CPreviewWindow> preview(new CPreviewWindow());
  const auto address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(owner));
  std::snprintf(preview->className_, sizeof preview->className_, "VideoRenderer_%08x_%08x", address,
                static_cast<unsigned>(timeGetTime() + static_cast<DWORD>(std::rand())));
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PreviewWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = preview->className_;
  if (!RegisterClassExA(&windowClass)) {
    preview->className_[0] = '\0';
    return nullptr;
  }
  HWND window = placement.parent ? CreateChild(preview->className_, placement)
                                 : CreateTopLevel(preview->className_, clientWidth, clientHeight);
  preview->window_ = window;
  if (!window) return nullptr;
  SetFocus(window);
  ShowWindow(window, SW_SHOW);
  if (!UpdateWindow(window)) return nullptr;
  preview->dc_ = GetDC(window);
  if (!preview->dc_) return nullptr;
  return preview;
}

CPreviewWindow::~CPreviewWindow() {
  if (dc_) ReleaseDC(window_, dc_);
  if (window_) DestroyWindow(window_);
  if (className_[0]) UnregisterClassA(className_, GetModuleHandleA(nullptr));
}

bool CPreviewWindow::Visible(RECT* client) const {
  if (!IsWindowVisible(window_)) return false;
  GetClientRect(window_, client);
  return client->right > 0 && client->bottom > 0;
}

void CPreviewWindow::SizeBackBuffer(int bits) {
  RECT client{};
  if (!Visible(&client)) return;
  if (backBuffer_.Width() == client.right && backBuffer_.Height() == client.bottom && backBuffer_.BitCount() == bits) {
    return;
  }
  if (backBuffer_.Create(client.right, client.bottom, static_cast<uint16_t>(bits)) && bits == 8) {
    backBuffer_.SetPalette(0);
  }
}

void CPreviewWindow::Draw(const CDibImage& picture, bool direct) {
  RECT client{};
  if (!Visible(&client)) return;
  const int width = picture.Width();
  const int height = picture.Height();
  if (direct && client.right == width && client.bottom == height) {
    StretchBlt(dc_, 0, 0, width, height, picture.Dc(), 0, height, width, -height, SRCCOPY);
    return;
  }
  SizeBackBuffer(picture.BitCount() == 8 ? 8 : 24);
  backBuffer_.Apply(backBuffer_.BitCount() == 8 ? tevrin::image::kScaleGray8 : tevrin::image::kScaleColor24, picture);
  BitBlt(dc_, 0, 0, client.right, client.bottom, backBuffer_.Dc(), 0, 0, SRCCOPY);
}
