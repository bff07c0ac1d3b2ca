// Window frames and system metrics of a 96-dpi desktop with classic sizes.
#include "windows/WindowFrame.h"

#include "display/Display.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tevrin::win32 {

namespace {
constexpr int kDefaultScreenWidth = 1920;
constexpr int kDefaultScreenHeight = 1080;
constexpr int kSizingFrame = 4;   // SM_CXFRAME
constexpr int kPaddedBorder = 4;  // SM_CXPADDEDBORDER
constexpr int kFixedFrame = 3;    // SM_CXFIXEDFRAME
constexpr int kBorder = 1;        // SM_CXBORDER
constexpr int kEdge = 2;          // SM_CXEDGE
constexpr int kCaption = 23;      // SM_CYCAPTION
constexpr int kMenu = 20;         // SM_CYMENU
constexpr int kTaskBar = 40;      // the part of the screen work areas leave out
}  // namespace

RECT FrameInsets(DWORD style, DWORD exStyle, bool menu) {
  int frame = 0;
  if (style & WS_THICKFRAME) {
    frame = kSizingFrame + kPaddedBorder;
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    frame = kFixedFrame;
  } else if (style & WS_BORDER) {
    frame = kBorder;
  }
  if (exStyle & WS_EX_CLIENTEDGE) frame += kEdge;
  int top = frame;
  if ((style & WS_CAPTION) == WS_CAPTION) top += kCaption;
  if (menu && !(style & WS_CHILD)) top += kMenu;
  return RECT{frame, top, frame, frame};
}

SIZE ClientSize(DWORD style, DWORD exStyle, int width, int height) {
  RECT insets = FrameInsets(style, exStyle, false);
  return SIZE{std::max(0, width - insets.left - insets.right), std::max(0, height - insets.top - insets.bottom)};
}

SIZE ScreenSize() {
  const char* configured = std::getenv("TEVRIN_SCREEN");
  int width = 0, height = 0;
  char rest = 0;
  if (configured && std::sscanf(configured, "%dx%d%c", &width, &height, &rest) == 2 && width > 0 && height > 0) {
    return SIZE{width, height};
  }
  if (display::Display* display = display::Active()) return display->ScreenSize();
  return SIZE{kDefaultScreenWidth, kDefaultScreenHeight};
}

}  // namespace tevrin::win32

using tevrin::win32::FrameInsets;

extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (rect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT insets = FrameInsets(style, exStyle, menu != FALSE);
  rect->left -= insets.left;
  rect->top -= insets.top;
  rect->right += insets.right;
  rect->bottom += insets.bottom;
  return TRUE;
}

extern "C" int WINAPI GetSystemMetrics(int index) {
  using namespace tevrin::win32;
  SIZE screen = ScreenSize();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXFULLSCREEN:
      return screen.cx;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
      return screen.cy;
    case SM_CYFULLSCREEN:
      return screen.cy - kTaskBar - kCaption;
    case SM_CXMAXIMIZED:
      return screen.cx + 2 * (kSizingFrame + kPaddedBorder);
    case SM_CYMAXIMIZED:
      return screen.cy - kTaskBar + 2 * (kSizingFrame + kPaddedBorder);
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
      return 17;
    case SM_CYCAPTION:
      return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_MOUSEPRESENT:
      return 1;
    case SM_CMONITORS:  // windows are seen only on a display
      return display::Active() ? 1 : 0;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return kFixedFrame;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CYMENU:
      return kMenu;
    case SM_CXSIZE:
      return 36;
    case SM_CYSIZE:
      return 22;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return kSizingFrame;
    case SM_CXPADDEDBORDER:
      return kPaddedBorder;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return kEdge;
    case SM_CXMIN:
      return 132;
    case SM_CYMIN:
      return 38;
    case SM_CXMINTRACK:
      return 136;
    case SM_CYMINTRACK:
      return 39;
    default:  // SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN and whatever is not modelled
      return 0;
  }
}
