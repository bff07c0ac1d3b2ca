// Combo boxes: a list of strings with item data and one selection, whose
// text is the window text of a drop-down list. Selecting from the program
// (CB_SETCURSEL) sends nothing; the user's choice sends CBN_SELCHANGE.
#include <algorithm>
#include <cctype>

#include "controls/Control.h"

namespace tevrin::win32 {
namespace {

struct Item {
  std::string text;
  LPARAM data = 0;
};

struct ComboState {
  std::vector<Item> items;
  int selection = CB_ERR;
};

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool Valid(const ComboState& state, WPARAM index) {
  return index < state.items.size();
}

void Select(HWND combo, ComboState& state, int index) {
  state.selection = index;
  StoreText(combo, index >= 0 ? state.items[static_cast<size_t>(index)].text : std::string{});
}

LRESULT Insert(HWND combo, ComboState& state, size_t index, LPARAM text) {
  std::string item = text ? reinterpret_cast<const char*>(text) : "";
  if ((StyleOf(combo) & CBS_SORT) && index == state.items.size()) {
    auto at = std::find_if(state.items.begin(), state.items.end(),
                           [&](const Item& other) { return Folded(other.text) > Folded(item); });
    index = static_cast<size_t>(at - state.items.begin());
  }
  state.items.insert(state.items.begin() + static_cast<std::ptrdiff_t>(index), Item{item});
  if (state.selection >= static_cast<int>(index)) ++state.selection;
  return static_cast<LRESULT>(index);
}

// First item after `start` (wrapping) whose text equals or begins with `text`.
LRESULT Find(const ComboState& state, WPARAM start, LPARAM text, bool exact) {
  if (!text) return CB_ERR;
  std::string wanted = Folded(reinterpret_cast<const char*>(text));
  size_t count = state.items.size();
  size_t first = Valid(state, start) ? start + 1 : 0;
  for (size_t step = 0; step < count; ++step) {
    size_t index = (first + step) % count;
    std::string item = Folded(state.items[index].text);
    if (exact ? item == wanted : item.compare(0, wanted.size(), wanted) == 0) return static_cast<LRESULT>(index);
  }
  return CB_ERR;
}

}  // namespace

LRESULT CALLBACK ComboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOf<ComboState>(window);
  if (!state) return 0;
  switch (message) {
    case CB_ADDSTRING:
      return Insert(window, *state, state->items.size(), lParam);
    case CB_INSERTSTRING:
      if (static_cast<int>(wParam) == -1) return Insert(window, *state, state->items.size(), lParam);
      return wParam <= state->items.size() ? Insert(window, *state, wParam, lParam) : CB_ERR;
    case CB_DELETESTRING:
      if (!Valid(*state, wParam)) return CB_ERR;
      state->items.erase(state->items.begin() + static_cast<std::ptrdiff_t>(wParam));
      if (state->selection == static_cast<int>(wParam)) Select(window, *state, CB_ERR);
      else if (state->selection > static_cast<int>(wParam)) --state->selection;
      return static_cast<LRESULT>(state->items.size());
    case CB_RESETCONTENT:
      state->items.clear();
      Select(window, *state, CB_ERR);
      return CB_OKAY;
    case CB_GETCOUNT:
      return static_cast<LRESULT>(state->items.size());
    case CB_GETCURSEL:
      return state->selection;
    case CB_SETCURSEL:
      Select(window, *state, Valid(*state, wParam) ? static_cast<int>(wParam) : CB_ERR);
      return state->selection;
    case CB_GETLBTEXT:
      if (!Valid(*state, wParam) || !lParam) return CB_ERR;
      return CopyOut(state->items[wParam].text, reinterpret_cast<char*>(lParam), state->items[wParam].text.size() + 1);
    case CB_GETLBTEXTLEN:
      return Valid(*state, wParam) ? static_cast<LRESULT>(state->items[wParam].text.size()) : CB_ERR;
    case CB_GETITEMDATA:
      return Valid(*state, wParam) ? state->items[wParam].data : CB_ERR;
    case CB_SETITEMDATA:
      if (!Valid(*state, wParam)) return CB_ERR;
      state->items[wParam].data = lParam;
      return CB_OKAY;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
      return Find(*state, wParam, lParam, message == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
      LRESULT found = Find(*state, wParam, lParam, false);
      if (found != CB_ERR) Select(window, *state, static_cast<int>(found));
      return found;
    }
    case CB_GETDROPPEDSTATE:
      return FALSE;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace tevrin::win32
