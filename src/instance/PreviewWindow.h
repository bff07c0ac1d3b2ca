// The window a preview shows its frames in: a child of the application's
// window or a top-level window of its own. The object owns the window, its
// device context, its window class and the back-buffer for scaled drawing;
// all go when it is destroyed, which its owner does only after the thread
// that draws into it has stopped.
#pragma once

#include <windows.h>

#include <memory>

#include "image/DibImage.h"

// Where the application wants the preview: parent null and all four values 0
// means no window.
struct PreviewPlacement {
  HWND parent = nullptr;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool Wanted() const { return parent || x || y || width || height; }
};

class CPreviewWindow {
 public:
  // A visible window for `placement`; a top-level one gets a client area of
  // clientWidth x clientHeight, centred on the screen. Null when the class,
  // the window or its device context cannot be made. `owner` only names the class.
  static std::unique_ptr<CPreviewWindow> Create(const PreviewPlacement& placement, int clientWidth, int clientHeight,
                                                const void* owner);
  ~CPreviewWindow();
  CPreviewWindow(const CPreviewWindow&) = delete;
  CPreviewWindow& operator=(const CPreviewWindow&) = delete;

  HWND Window() const { return window_; }
  // Sizes the back-buffer to the client area for pictures of `bits` (8 or
  // 24) bits, when the window is visible and not empty.
  void SizeBackBuffer(int bits);
  // Shows an 8- or 24-bit picture, first delivered row at the top: one to
  // one when the client area has its size and `direct` allows it, else
  // scaled through the back-buffer. An invisible or empty window shows nothing.
  void Draw(const CDibImage& picture, bool direct);

 private:
  CPreviewWindow() = default;
  bool Visible(RECT* client) const;

  char className_[64] = {};
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  CDibImage backBuffer_;
};
