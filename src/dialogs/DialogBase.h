#pragma once

#include <windows.h>

// A dialog window and the object behind it: the procedure finds the object
// through the window's user data, set at WM_INITDIALOG from the creation
// parameter, so any number of dialogs can be open at once.
class CDialogBase {
 public:
  CDialogBase() = default;
  CDialogBase(const CDialogBase&) = delete;
  CDialogBase& operator=(const CDialogBase&) = delete;
  virtual ~CDialogBase() = default;

  HWND Window() const { return window_; }

 protected:
  // Runs the template of the user's language modally; the dialog's result,
  // or -1 when it could not be created.
  INT_PTR RunModal(HWND owner, int japaneseId, int englishId);
  // Creates the template of the user's language as a modeless child of
  // `parent`, with the template's ID as its control ID.
  HWND CreateChild(HWND parent, int japaneseId, int englishId);

  // Returns TRUE for a message the dialog handled.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
};
