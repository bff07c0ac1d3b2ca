// Single-line edit boxes. Any change of the text, typed or set with
// WM_SETTEXT, tells the parent EN_UPDATE and EN_CHANGE, as on Windows.
// Typing (WM_CHAR) honours ES_NUMBER, ES_READONLY and the text limit.
#include <cctype>

#include "controls/Control.h"

namespace tevrin::win32 {
namespace {

constexpr size_t kDefaultLimit = 30000;

struct EditState {
  size_t limit = kDefaultLimit;
};

void Changed(HWND edit) {
  NotifyCommand(edit, EN_UPDATE);
  NotifyCommand(edit, EN_CHANGE);
}

void RemoveLastCharacter(std::string& text) {
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  if (!text.empty()) text.pop_back();
}

void Type(HWND edit, const EditState& state, WPARAM character) {
  DWORD style = StyleOf(edit);
  if (style & ES_READONLY) return;
  std::string text = TextOf(edit);
  if (character == '\b') {
    if (text.empty()) return;
    RemoveLastCharacter(text);
  } else {
    if (character < 0x20 || character > 0x7E) return;
    if ((style & ES_NUMBER) && !std::isdigit(static_cast<int>(character))) return;
    if (text.size() >= state.limit) {
      NotifyCommand(edit, EN_MAXTEXT);
      return;
    }
    text.push_back(static_cast<char>(character));
  }
  StoreText(edit, text);
  Changed(edit);
}

}  // namespace

LRESULT CALLBACK EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOf<EditState>(window);
  if (!state) return 0;
  switch (message) {
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      Changed(window);
      return result;
    }
    case WM_CHAR:
      Type(window, *state, wParam);
      return 0;
    case EM_LIMITTEXT:
      state->limit = wParam == 0 ? 0x7FFFFFFE : wParam;
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(state->limit);
    case EM_SETREADONLY: {
      DWORD style = StyleOf(window);
      SetWindowLongPtrA(window, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
      return TRUE;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace tevrin::win32
