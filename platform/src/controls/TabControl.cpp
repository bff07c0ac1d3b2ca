// Tab controls: the tabs' texts and data, the selected tab, and where each
// header lies (one row from the left, 20 pixels high, 8 pixels per character
// plus 12, or the TCM_SETITEMSIZE width with TCS_FIXEDWIDTH or
// TCS_OWNERDRAWFIXED). The program selects with TCM_SETCURSEL silently; a
// click on a header (WM_LBUTTONDOWN) asks the parent with TCN_SELCHANGING
// and, unless refused, selects and sends TCN_SELCHANGE.
#include <commctrl.h>

#include "controls/Control.h"

namespace tevrin::win32 {
namespace {

constexpr int kHeaderHeight = 20;
constexpr int kCharacterWidth = 8;
constexpr int kPadding = 12;

struct Tab {
  std::string text;
  LPARAM data = 0;
};

struct TabState {
  std::vector<Tab> tabs;
  int selection = -1;
  int fixedWidth = 0;
  int fixedHeight = 0;
};

int CodePoints(const std::string& text) {
  int count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

RECT HeaderRect(HWND tabControl, const TabState& state, size_t index) {
  bool fixed = (StyleOf(tabControl) & (TCS_FIXEDWIDTH | TCS_OWNERDRAWFIXED)) && state.fixedWidth > 0;
  int height = state.fixedHeight > 0 ? state.fixedHeight : kHeaderHeight;
  RECT rect{0, 0, 0, height};
  for (size_t i = 0; i <= index; ++i) {
    int width = fixed ? state.fixedWidth : CodePoints(state.tabs[i].text) * kCharacterWidth + kPadding;
    rect.left = rect.right;
    rect.right = rect.left + width;
  }
  return rect;
}

bool Valid(const TabState& state, WPARAM index) {
  return index < state.tabs.size();
}

LRESULT Insert(TabState& state, WPARAM index, const TCITEMA* item) {
  if (item == nullptr) return -1;
  Tab tab{(item->mask & TCIF_TEXT) && item->pszText ? item->pszText : "", (item->mask & TCIF_PARAM) ? item->lParam : 0};
  size_t at = std::min<size_t>(index, state.tabs.size());
  state.tabs.insert(state.tabs.begin() + static_cast<std::ptrdiff_t>(at), tab);
  if (state.selection == -1) state.selection = 0;
  else if (state.selection >= static_cast<int>(at)) ++state.selection;
  return static_cast<LRESULT>(at);
}

LRESULT Get(const TabState& state, WPARAM index, TCITEMA* item) {
  if (!Valid(state, index) || item == nullptr) return FALSE;
  if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
    CopyOut(state.tabs[index].text, item->pszText, static_cast<size_t>(item->cchTextMax));
  }
  if (item->mask & TCIF_PARAM) item->lParam = state.tabs[index].data;
  return TRUE;
}

LRESULT Set(TabState& state, WPARAM index, const TCITEMA* item) {
  if (!Valid(state, index) || item == nullptr) return FALSE;
  if (item->mask & TCIF_TEXT) state.tabs[index].text = item->pszText ? item->pszText : "";
  if (item->mask & TCIF_PARAM) state.tabs[index].data = item->lParam;
  return TRUE;
}

void Click(HWND tabControl, TabState& state, POINT point) {
  if (!IsWindowEnabled(tabControl)) return;
  for (size_t i = 0; i < state.tabs.size(); ++i) {
    RECT rect = HeaderRect(tabControl, state, i);
    if (point.x < rect.left || point.x >= rect.right || point.y < rect.top || point.y >= rect.bottom) continue;
    if (static_cast<int>(i) == state.selection) return;
    NMHDR header{};
    if (NotifyParent(tabControl, header, TCN_SELCHANGING) != 0) return;
    state.selection = static_cast<int>(i);
    NotifyParent(tabControl, header, TCN_SELCHANGE);
    return;
  }
}

}  // namespace

LRESULT CALLBACK TabControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOf<TabState>(window);
  if (!state) return 0;
  switch (message) {
    case TCM_INSERTITEMA:
      return Insert(*state, wParam, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_GETITEMA:
      return Get(*state, wParam, reinterpret_cast<TCITEMA*>(lParam));
    case TCM_SETITEMA:
      return Set(*state, wParam, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_DELETEITEM:
      if (!Valid(*state, wParam)) return FALSE;
      state->tabs.erase(state->tabs.begin() + static_cast<std::ptrdiff_t>(wParam));
      if (state->selection == static_cast<int>(wParam)) state->selection = -1;
      else if (state->selection > static_cast<int>(wParam)) --state->selection;
      return TRUE;
    case TCM_DELETEALLITEMS:
      state->tabs.clear();
      state->selection = -1;
      return TRUE;
    case TCM_GETITEMCOUNT:
      return static_cast<LRESULT>(state->tabs.size());
    case TCM_GETCURSEL:
      return state->selection;
    case TCM_SETCURSEL: {
      if (!Valid(*state, wParam)) return -1;
      int previous = state->selection;
      state->selection = static_cast<int>(wParam);
      return previous;
    }
    case TCM_GETITEMRECT:
      if (!Valid(*state, wParam) || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = HeaderRect(window, *state, wParam);
      return TRUE;
    case TCM_SETITEMSIZE: {
      LRESULT previous = MAKELONG(state->fixedWidth, state->fixedHeight);
      state->fixedWidth = LOWORD(lParam);
      state->fixedHeight = HIWORD(lParam);
      return previous;
    }
    case TCM_ADJUSTRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      if (!rect) return 0;
      int header = (state->fixedHeight > 0 ? state->fixedHeight : kHeaderHeight) + 2;
      int sign = wParam ? -1 : 1;
      rect->left += sign * 2;
      rect->right -= sign * 2;
      rect->top += sign * header;
      rect->bottom -= sign * 2;
      return 0;
    }
    case WM_LBUTTONDOWN:
      Click(window, *state, POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace tevrin::win32
