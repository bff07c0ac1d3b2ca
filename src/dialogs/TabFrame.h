#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "dialogs/DialogBase.h"

// A frame dialog with a tab control (1001) and one page per tab. Its tab
// headers are owner-drawn: the tab's text centred on the button face.
class CTabFrame : public CDialogBase {
 public:
  CTabFrame();
  ~CTabFrame() override;

 protected:
  // Appends a tab and the page it shows; pages sit at (30, 25) inside the
  // tab control, only the selected one visible.
  void AddTab(const char* text, HWND page);
  // Handles the tab control's selection change and header drawing; TRUE
  // for a message it handled.
  INT_PTR OnTabMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Tabs() const { return GetDlgItem(Window(), 1001); }
  // Ends the dialog with `result`, first clearing `shown`, the handle other
  // threads post their notices to.
  void End(std::atomic<HWND>& shown, int result) {
    shown = nullptr;
    EndDialog(Window(), result);
  }

 private:
  void ShowSelectedPage();
  void DrawHeader(const DRAWITEMSTRUCT& item);

  std::vector<HWND> pages_;
  HBRUSH headerBrush_;
};
