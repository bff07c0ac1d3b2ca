// What the dialog manager keeps for each dialog window besides its window
// data (DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER).
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

namespace tevrin::win32 {

struct DialogState {
  std::atomic<bool> ended{false};
  std::atomic<INT_PTR> result{0};
  int defaultId = 0;  // DM_SETDEFID; 0 means the BS_DEFPUSHBUTTON child
};

// Passed to the dialog window's creation.
struct DialogCreation {
  DLGPROC procedure;
};

// Null when `window` is not a dialog.
std::shared_ptr<DialogState> DialogStateOf(HWND window);
// Whether `window` is `ancestor` or lies inside it.
bool IsWithin(HWND ancestor, HWND window);

// Dialog units to pixels with the base units of GetDialogBaseUnits.
inline constexpr int kBaseUnitX = 8;
inline constexpr int kBaseUnitY = 16;
inline int DialogUnitsToPixelsX(int units) {
  return units * kBaseUnitX / 4;
}
inline int DialogUnitsToPixelsY(int units) {
  return units * kBaseUnitY / 8;
}

}  // namespace tevrin::win32
