#pragma once

#include <windows.h>

#include <optional>
#include <vector>

// One value shown by a trackbar, an up-down control and its buddy edit box,
// which share one range.
struct Slider {
  int trackbar;
  int updown;
  int edit;
  int min;
  int max;
  int page;  // the trackbar's page size
};

// The sliders of one page. The page passes its scroll and edit-change
// notifications here and learns which value the user changed, held to the
// slider's range; values the page writes itself raise no change.
class CSliderGroup {
 public:
  struct Change {
    int index;
    int value;
  };

  CSliderGroup(HWND page, std::vector<Slider> sliders) : page_(page), sliders_(std::move(sliders)) {}

  const Slider& At(int index) const { return sliders_[index]; }
  // Range, page size, buddy and value of every control of a slider.
  void Setup(int index, int value);
  // Shows a value without reporting it as a change.
  void Show(int index, int value);
  // The edit box's value within the range; the minimum when it holds no number.
  int Value(int index) const;
  void Enable(int index, bool enabled);
  void SetVisible(int index, bool visible);
  bool IsVisible(int index) const;

  // WM_HSCROLL from `trackbar`: the edit box follows the trackbar.
  std::optional<Change> Scrolled(HWND trackbar);
  // EN_CHANGE from edit box `editId`: the trackbar follows the edit box.
  std::optional<Change> Edited(int editId);

 private:
  void Move(const Slider& slider, int value);
  int Find(int Slider::*control, int id) const;

  HWND page_;
  std::vector<Slider> sliders_;
  bool writing_ = false;
};
