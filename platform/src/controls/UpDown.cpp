// Up-down controls: a range (which may run downwards), a position and a buddy
// window. With UDS_SETBUDDYINT the position is written into the buddy as
// text and read back from it; UDS_AUTOBUDDY takes the sibling created just
// before. An arrow press (WM_KEYDOWN VK_UP/VK_DOWN, as the display sends for
// a click) asks the parent with UDN_DELTAPOS, moves the position unless the
// parent refuses, and tells the parent WM_VSCROLL (WM_HSCROLL with UDS_HORZ).
#include <commctrl.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "controls/Control.h"

namespace tevrin::win32 {
namespace {

struct UpDownState {
  int lower = 100;  // Windows' default range runs from 100 down to 0
  int upper = 0;
  int pos = 0;
  HWND buddy = nullptr;
};

int Low(const UpDownState& state) {
  return std::min(state.lower, state.upper);
}
int High(const UpDownState& state) {
  return std::max(state.lower, state.upper);
}

std::string Format(int value, bool thousands) {
  long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
  std::string reversed;
  for (int digits = 0; digits == 0 || magnitude > 0; ++digits, magnitude /= 10) {
    if (thousands && digits > 0 && digits % 3 == 0) reversed.push_back(',');
    reversed.push_back(static_cast<char>('0' + magnitude % 10));
  }
  if (value < 0) reversed.push_back('-');
  return {reversed.rbegin(), reversed.rend()};
}

void UpdateBuddy(HWND updown, const UpDownState& state) {
  DWORD style = StyleOf(updown);
  if (state.buddy && (style & UDS_SETBUDDYINT)) {
    std::string text = Format(state.pos, !(style & UDS_NOTHOUSANDS));
    SendMessageA(state.buddy, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

// The buddy's number, when it holds one inside the range.
bool ReadBuddy(HWND updown, UpDownState& state) {
  if (!state.buddy || !(StyleOf(updown) & UDS_SETBUDDYINT)) return true;
  std::string text = TextOf(state.buddy);
  std::erase(text, ',');
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || value < Low(state) || value > High(state)) return false;
  state.pos = static_cast<int>(value);
  return true;
}

void SetPosition(HWND updown, UpDownState& state, int pos) {
  state.pos = std::clamp(pos, Low(state), High(state));
  UpdateBuddy(updown, state);
}

void Step(HWND updown, UpDownState& state, int direction) {
  if (!IsWindowEnabled(updown)) return;
  ReadBuddy(updown, state);
  // "Up" moves towards the upper end of the range, whichever way it runs.
  int delta = state.upper >= state.lower ? direction : -direction;
  NMUPDOWN change{.hdr = {}, .iPos = state.pos, .iDelta = delta};
  if (NotifyParent(updown, change.hdr, UDN_DELTAPOS) != 0) return;
  long long target = static_cast<long long>(state.pos) + change.iDelta;
  if (target < Low(state) || target > High(state)) {
    if (!(StyleOf(updown) & UDS_WRAP)) target = std::clamp<long long>(target, Low(state), High(state));
    else target = target < Low(state) ? High(state) : Low(state);
  }
  SetPosition(updown, state, static_cast<int>(target));
  UINT scroll = (StyleOf(updown) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
  HWND parent = GetParent(updown);
  auto self = reinterpret_cast<LPARAM>(updown);
  SendMessageA(parent, scroll, MAKEWPARAM(SB_THUMBPOSITION, state.pos), self);
  SendMessageA(parent, scroll, MAKEWPARAM(SB_ENDSCROLL, state.pos), self);
}

HWND PreviousSibling(HWND window) {
  std::vector<HWND> siblings = ChildrenOf(GetParent(window));
  auto at = std::find(siblings.begin(), siblings.end(), window);
  return at == siblings.begin() || at == siblings.end() ? nullptr : *(at - 1);
}

}  // namespace

LRESULT CALLBACK UpDownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOf<UpDownState>(window);
  if (!state) return 0;
  switch (message) {
    case WM_CREATE:
      if (StyleOf(window) & UDS_AUTOBUDDY) state->buddy = PreviousSibling(window);
      return 0;
    case UDM_SETRANGE:
      state->upper = static_cast<SHORT>(LOWORD(lParam));
      state->lower = static_cast<SHORT>(HIWORD(lParam));
      state->pos = std::clamp(state->pos, Low(*state), High(*state));
      return 0;
    case UDM_SETRANGE32:
      state->lower = static_cast<int>(wParam);
      state->upper = static_cast<int>(lParam);
      state->pos = std::clamp(state->pos, Low(*state), High(*state));
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(state->upper, state->lower);
    case UDM_GETRANGE32:
      if (wParam) *reinterpret_cast<int*>(wParam) = state->lower;
      if (lParam) *reinterpret_cast<int*>(lParam) = state->upper;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int previous = state->pos;
      SetPosition(window, *state, message == UDM_SETPOS ? static_cast<SHORT>(LOWORD(lParam)) : static_cast<int>(lParam));
      return previous;
    }
    case UDM_GETPOS: {
      bool valid = ReadBuddy(window, *state);
      return MAKELONG(state->pos, valid ? 0 : 1);
    }
    case UDM_GETPOS32: {
      bool valid = ReadBuddy(window, *state);
      if (lParam) *reinterpret_cast<BOOL*>(lParam) = valid ? FALSE : TRUE;
      return state->pos;
    }
    case UDM_SETBUDDY: {
      HWND previous = state->buddy;
      state->buddy = reinterpret_cast<HWND>(wParam);
      return reinterpret_cast<LRESULT>(previous);
    }
    case UDM_GETBUDDY:
      return reinterpret_cast<LRESULT>(state->buddy);
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_RIGHT) Step(window, *state, 1);
      if (wParam == VK_DOWN || wParam == VK_LEFT) Step(window, *state, -1);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace tevrin::win32
