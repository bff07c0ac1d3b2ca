#include "dialogs/SliderGroup.h"

#include <commctrl.h>

#include <algorithm>

void CSliderGroup::Setup(int index, int value) {
  const Slider& s = sliders_[index];
  SendDlgItemMessageA(page_, s.trackbar, TBM_SETRANGEMIN, FALSE, s.min);
  SendDlgItemMessageA(page_, s.trackbar, TBM_SETRANGEMAX, FALSE, s.max);
  SendDlgItemMessageA(page_, s.trackbar, TBM_SETPAGESIZE, 0, s.page);
  SendDlgItemMessageA(page_, s.updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page_, s.edit)), 0);
  SendDlgItemMessageA(page_, s.updown, UDM_SETRANGE32, static_cast<WPARAM>(s.min), s.max);
  Show(index, value);
}

void CSliderGroup::Show(int index, int value) {
  const Slider& s = sliders_[index];
  writing_ = true;
  SetDlgItemInt(page_, s.edit, static_cast<UINT>(value), TRUE);
  Move(s, value);
  writing_ = false;
}

int CSliderGroup::Value(int index) const {
  const Slider& s = sliders_[index];
  BOOL translated = FALSE;
  const int value = static_cast<int>(GetDlgItemInt(page_, s.edit, &translated, TRUE));
  return translated ? std::clamp(value, s.min, s.max) : s.min;
}

void CSliderGroup::Enable(int index, bool enabled) {
  const Slider& s = sliders_[index];
  for (int id : {s.trackbar, s.updown, s.edit}) EnableWindow(GetDlgItem(page_, id), enabled);
}

void CSliderGroup::SetVisible(int index, bool visible) {
  const Slider& s = sliders_[index];
  for (int id : {s.trackbar, s.updown, s.edit}) ShowWindow(GetDlgItem(page_, id), visible ? SW_SHOW : SW_HIDE);
}

bool CSliderGroup::IsVisible(int index) const {
  // The control's own visibility, whether or not its page is shown.
  HWND edit = GetDlgItem(page_, sliders_[index].edit);
  return edit && (GetWindowLongPtrA(edit, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::optional<CSliderGroup::Change> CSliderGroup::Scrolled(HWND trackbar) {
  const int index = Find(&Slider::trackbar, GetDlgCtrlID(trackbar));
  if (index < 0) return std::nullopt;
  const Slider& s = sliders_[index];
  const int value = std::clamp(static_cast<int>(SendMessageA(trackbar, TBM_GETPOS, 0, 0)), s.min, s.max);
  Show(index, value);
  return Change{index, value};
}

std::optional<CSliderGroup::Change> CSliderGroup::Edited(int editId) {
  const int index = Find(&Slider::edit, editId);
  if (index < 0 || writing_) return std::nullopt;
  BOOL translated = FALSE;
  const int typed = static_cast<int>(GetDlgItemInt(page_, editId, &translated, TRUE));
  if (!translated) return std::nullopt;
  const Slider& s = sliders_[index];
  const int value = std::clamp(typed, s.min, s.max);
  Move(s, value);
  return Change{index, value};
}

// An up-down control writes its buddy when it moves: that is no user change.
void CSliderGroup::Move(const Slider& s, int value) {
  const bool writing = writing_;
  writing_ = true;
  SendDlgItemMessageA(page_, s.trackbar, TBM_SETPOS, TRUE, value);
  SendDlgItemMessageA(page_, s.updown, UDM_SETPOS32, 0, value);
  writing_ = writing;
}

int CSliderGroup::Find(int Slider::*control, int id) const {
  for (size_t i = 0; i < sliders_.size(); ++i) {
    if (sliders_[i].*control == id) return static_cast<int>(i);
  }
  return -1;
}
