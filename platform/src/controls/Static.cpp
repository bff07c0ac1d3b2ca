// Static text: its window text is all it holds.
#include "controls/Control.h"

namespace tevrin::win32 {

LRESULT CALLBACK StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tevrin::win32
