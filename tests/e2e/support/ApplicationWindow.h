// An application's own windows and its message pump, as a program using the
// SDK has them.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

namespace tevrin::test {

// A window of the test's class, which leaves every message to DefWindowProcA.
// A null size and HWND_MESSAGE as parent make a message-only window.
HWND CreateApplicationWindow(DWORD style = 0, int width = 0, int height = 0, HWND parent = HWND_MESSAGE);

// Pumps `window`'s messages for up to `seconds` and returns the (wParam,
// lParam) of the frame notifications received, at most `wanted` of them.
std::vector<std::pair<WPARAM, LPARAM>> PumpFrameMessages(HWND window, size_t wanted, double seconds);

// A handle on the virtual cameras of `cameras` (the TEVRIN_VIRTUAL_CAMERAS
// form), its previews without a window of their own; 0 when either fails.
int OpenCameras(const char* cameras);

// Pops a camera's error history, newest first, as an application reads it.
std::vector<int> TakeErrors(int handle);

}  // namespace tevrin::test
