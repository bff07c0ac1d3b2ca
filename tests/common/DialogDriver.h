// Drives a dialog running headless on another thread the way a user would:
// each action sends what the display sends for the user's action, and the
// readers ask the controls. Every call may come from any thread but the
// dialog's. A control is found by ID among the dialog's descendants, visible
// ones first, so controls on tab pages are reached through the frame.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace tevrin::test {

// The dialog once WM_INITDIALOG has run and it is shown (by caption, or the
// newest dialog when null); null after `timeoutMs`.
HWND WaitForDialog(const char* caption, DWORD timeoutMs = 10000);
HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs = 10000);

// The control with `id` inside `dialog`, or null.
HWND Item(HWND dialog, int id);

void Click(HWND dialog, int id);                           // BM_CLICK: toggles BS_AUTO*, BN_CLICKED
void Type(HWND dialog, int id, const std::string& text);   // new text, EN_CHANGE
void SetTrackbar(HWND dialog, int id, int pos);            // TBM_SETPOS, WM_HSCROLL thumb position and end
void Spin(HWND dialog, int id, int steps);                 // arrow presses: UDN_DELTAPOS, buddy update
void Choose(HWND dialog, int id, int index);               // CB_SETCURSEL, CBN_SELCHANGE
void SelectTab(HWND dialog, int id, int index);            // click on the header: TCN_SELCHANGING/SELCHANGE
void PressEnter(HWND dialog);
void PressEscape(HWND dialog);

std::string Text(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsVisible(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
std::vector<std::string> ComboItems(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
std::pair<int, int> TrackbarRange(HWND dialog, int id);
int TrackbarPos(HWND dialog, int id);
std::vector<std::string> TabTexts(HWND dialog, int id);
int TabSelection(HWND dialog, int id);

}  // namespace tevrin::test
