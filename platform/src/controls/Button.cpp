// Push buttons, check boxes, radio buttons and group boxes. A click
// (BM_CLICK, as the display sends for a mouse click) toggles automatic check
// boxes, checks an automatic radio button and clears the others of its
// group, then tells the parent BN_CLICKED.
#include "controls/Control.h"

namespace tevrin::win32 {
namespace {

struct ButtonState {
  UINT check = BST_UNCHECKED;
};

DWORD TypeOf(HWND button) {
  return StyleOf(button) & BS_TYPEMASK;
}

bool HasCheck(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
         type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

// The radio button's group: from the nearest sibling at or before it with
// WS_GROUP to the next one with WS_GROUP.
std::vector<HWND> GroupOf(HWND button) {
  std::vector<HWND> siblings = ChildrenOf(GetParent(button));
  std::vector<HWND> group;
  bool mine = false;
  for (HWND sibling : siblings) {
    if (StyleOf(sibling) & WS_GROUP) {
      if (mine) break;
      group.clear();
    }
    group.push_back(sibling);
    mine = mine || sibling == button;
  }
  return group;
}

void Click(HWND button, ButtonState& state) {
  if (!IsWindowEnabled(button)) return;
  switch (TypeOf(button)) {
    case BS_AUTOCHECKBOX:
      state.check = state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
      break;
    case BS_AUTO3STATE:
      state.check = (state.check + 1) % 3;
      break;
    case BS_AUTORADIOBUTTON:
      for (HWND other : GroupOf(button)) {
        if (other != button && TypeOf(other) == BS_AUTORADIOBUTTON) {
          SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
      }
      state.check = BST_CHECKED;
      break;
    default:
      break;
  }
  NotifyCommand(button, BN_CLICKED);
}

}  // namespace

LRESULT CALLBACK ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOf<ButtonState>(window);
  if (!state) return 0;
  switch (message) {
    case BM_GETCHECK:
      return HasCheck(TypeOf(window)) ? state->check : BST_UNCHECKED;
    case BM_SETCHECK:
      if (HasCheck(TypeOf(window))) state->check = static_cast<UINT>(wParam) > BST_INDETERMINATE ? BST_CHECKED
                                                                                                   : static_cast<UINT>(wParam);
      return 0;
    case BM_GETSTATE:
      return state->check;
    case BM_SETSTYLE:
      SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>((StyleOf(window) & ~0xFFFFu) | (wParam & 0xFFFFu)));
      return 0;
    case BM_CLICK:
      Click(window, *state);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace tevrin::win32
