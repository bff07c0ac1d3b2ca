// What the built-in controls share: their state, kept with the window and
// freed with it, and the notifications they send to their parent.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "windows/Desktop.h"

namespace tevrin::win32 {

// The window's state object of type State, made on first use; null once the
// window is gone. Only the window's own thread calls this.
template <class State>
std::shared_ptr<State> StateOf(HWND window) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* found = desktop.PeekLocked(window);
  if (!found) return nullptr;
  if (!found->classState) found->classState = std::make_shared<State>();
  return std::static_pointer_cast<State>(found->classState);
}

// WM_COMMAND with the control's ID and `code` to its parent.
void NotifyCommand(HWND control, int code);
// WM_NOTIFY to the parent with the header filled in; the parent's answer.
LRESULT NotifyParent(HWND control, NMHDR& header, UINT code);
// The children of `parent` in creation order.
std::vector<HWND> ChildrenOf(HWND parent);
DWORD StyleOf(HWND window);
std::string TextOf(HWND window);
// Sets the window text without the control's own reaction to WM_SETTEXT.
void StoreText(HWND window, const std::string& text);
// Copies at most size - 1 bytes and a terminator; the count copied.
int CopyOut(const std::string& text, char* buffer, size_t size);

LRESULT CALLBACK ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TrackbarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK UpDownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TabControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The class every dialog window has, as on Windows.
inline constexpr const char* kDialogClass = "#32770";
// Bytes of window data a dialog has: DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER.
inline constexpr int kDialogWindowExtra = 24;

}  // namespace tevrin::win32
