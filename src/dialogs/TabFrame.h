#pragma once

#include <windows.h>

#include <vector>

#include "dialogs/DialogBase.h"

// A frame dialog with a tab control (1001) and one page per tab.
class CTabFrame : public CDialogBase {
 protected:
  // Appends a tab and the page it shows; pages sit at (30, 25) inside the
  // tab control, only the selected one visible.
  void AddTab(const char* text, HWND page);
  // Handles the tab control's selection change; TRUE for a message it handled.
  INT_PTR OnTabMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Tabs() const { return GetDlgItem(Window(), 1001); }

 private:
  void ShowSelectedPage();

  std::vector<HWND> pages_;
};
