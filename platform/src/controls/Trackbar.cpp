// Trackbars: a range, a position kept inside it, line and page sizes and a
// tick frequency. The program's changes send nothing; the display's thumb
// movements arrive as TBM_SETPOS followed by the WM_HSCROLL it tells the parent.
#include <commctrl.h>

#include <algorithm>

#include "controls/Control.h"

namespace tevrin::win32 {
namespace {

struct TrackbarState {
  LONG min = 0;
  LONG max = 100;
  LONG pos = 0;
  LONG page = 20;
  LONG line = 1;
  LONG ticFrequency = 1;
};

void Clamp(TrackbarState& state) {
  state.max = std::max(state.max, state.min);
  state.pos = std::clamp(state.pos, state.min, state.max);
}

LRESULT Swap(LONG& field, LONG value) {
  LONG previous = field;
  field = value;
  return previous;
}

}  // namespace

LRESULT CALLBACK TrackbarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOf<TrackbarState>(window);
  if (!state) return 0;
  switch (message) {
    case TBM_GETPOS:
      return state->pos;
    case TBM_GETRANGEMIN:
      return state->min;
    case TBM_GETRANGEMAX:
      return state->max;
    case TBM_SETPOS:
      state->pos = static_cast<LONG>(lParam);
      Clamp(*state);
      return 0;
    case TBM_SETRANGE:
      state->min = static_cast<SHORT>(LOWORD(lParam));
      state->max = static_cast<SHORT>(HIWORD(lParam));
      Clamp(*state);
      return 0;
    case TBM_SETRANGEMIN:
      state->min = static_cast<LONG>(lParam);
      Clamp(*state);
      return 0;
    case TBM_SETRANGEMAX:
      state->max = static_cast<LONG>(lParam);
      Clamp(*state);
      return 0;
    case TBM_SETPAGESIZE:
      return Swap(state->page, static_cast<LONG>(lParam));
    case TBM_GETPAGESIZE:
      return state->page;
    case TBM_SETLINESIZE:
      return Swap(state->line, static_cast<LONG>(lParam));
    case TBM_GETLINESIZE:
      return state->line;
    case TBM_SETTICFREQ:
      state->ticFrequency = std::max<LONG>(1, static_cast<LONG>(wParam));
      return 0;
    case TBM_GETNUMTICS:
      return (StyleOf(window) & TBS_NOTICKS) ? 0 : (state->max - state->min) / state->ticFrequency + 1;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace tevrin::win32
