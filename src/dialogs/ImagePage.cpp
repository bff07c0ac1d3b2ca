#include "dialogs/ImagePage.h"

#include <algorithm>

#include "dialogs/DialogIds.h"

namespace {

constexpr int kBayerModes[] = {IDC_BAYER_MODE_0, IDC_BAYER_MODE_1, IDC_BAYER_MODE_2, IDC_BAYER_MODE_3};

}  // namespace

HWND CImagePage::Create(HWND tabs, int japaneseId, int englishId) {
  return CreateChild(tabs, japaneseId, englishId);
}

INT_PTR CImagePage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      std::vector<Slider> sliders;
      for (const ImageValue& value : values_) sliders.push_back(value.slider);
      sliders_ = std::make_unique<CSliderGroup>(Window(), std::move(sliders));
      const ImageSettings image = image_.Read();
      for (size_t i = 0; i < values_.size(); ++i) {
        sliders_->Setup(static_cast<int>(i), image.*(values_[i].field));
        sliders_->Enable(static_cast<int>(i), colorMode_ || !values_[i].colorOnly);
      }
      for (int id : kBayerModes) EnableWindow(GetDlgItem(Window(), id), BayerModeEnabled());
      Refresh();
      return TRUE;
    }
    case WM_HSCROLL:
      if (const auto change = sliders_->Scrolled(reinterpret_cast<HWND>(lParam))) Store(change->index, change->value);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (code == EN_CHANGE) {
        if (const auto change = sliders_->Edited(id)) Store(change->index, change->value);
        return TRUE;
      }
      if (code != BN_CLICKED) return FALSE;
      const auto bayer = std::find(std::begin(kBayerModes), std::end(kBayerModes), id);
      if (bayer != std::end(kBayerModes)) {
        const int mode = static_cast<int>(bayer - std::begin(kBayerModes));
        image_.Change([mode](ImageSettings& image) { image.bayerMode = mode; });
        return TRUE;
      }
      return OnButton(id, IsDlgButtonChecked(Window(), id) == BST_CHECKED);
    }
    default:
      return FALSE;
  }
}

void CImagePage::Refresh() {
  const ImageSettings image = image_.Read();
  for (size_t i = 0; i < values_.size(); ++i) sliders_->Show(static_cast<int>(i), image.*(values_[i].field));
  const int mode = std::clamp(image.bayerMode, 0, 3);
  CheckRadioButton(Window(), IDC_BAYER_MODE_0, IDC_BAYER_MODE_3, kBayerModes[mode]);
  RefreshButtons(image);
}

void CImagePage::Collect() {
  image_.Change([&](ImageSettings& image) {
    for (size_t i = 0; i < values_.size(); ++i) {
      const ImageValue& value = values_[i];
      image.*(value.field) = std::clamp(sliders_->Value(static_cast<int>(i)), value.storeMin, value.storeMax);
    }
    for (int mode = 0; mode < 4; ++mode) {
      if (IsDlgButtonChecked(Window(), kBayerModes[mode]) == BST_CHECKED) image.bayerMode = mode;
    }
    CollectButtons(image);
  });
}

// A value beyond what the SDK keeps is stored at its limit, and shown so.
void CImagePage::Store(int index, int value) {
  const ImageValue& entry = values_[static_cast<size_t>(index)];
  const int stored = std::clamp(value, entry.storeMin, entry.storeMax);
  image_.Change([&](ImageSettings& image) { image.*(entry.field) = stored; });
  if (stored != value) sliders_->Show(index, stored);
}
