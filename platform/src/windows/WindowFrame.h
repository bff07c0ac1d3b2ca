// The fixed non-client area of windows and the size of the screen.
#pragma once

#include <windows.h>

namespace tevrin::win32 {

// Thickness of the non-client area on each side for a style.
RECT FrameInsets(DWORD style, DWORD exStyle, bool menu);
// The client size of a window of that style and outer size (never negative).
SIZE ClientSize(DWORD style, DWORD exStyle, int width, int height);
// $TEVRIN_SCREEN as "WxH", else the display's screen, else 1920 x 1080.
SIZE ScreenSize();

}  // namespace tevrin::win32
