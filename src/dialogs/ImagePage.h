#pragma once

#include <functional>
#include <memory>
#include <span>

#include "dialogs/DialogBase.h"
#include "dialogs/LockedBlock.h"
#include "dialogs/SliderGroup.h"
#include "settings/SettingsBlocks.h"

// A slider of an image page and the setting it edits. What it stores is held
// to `storeMin`..`storeMax`, the range the rest of the SDK keeps the setting in.
struct ImageValue {
  Slider slider;
  int ImageSettings::*field;
  int storeMin;
  int storeMax;
  bool colorOnly;  // enabled in the colour modes only
};

// A page of the image dialog: sliders that store as they move, the Bayer-mode
// radio buttons and the page's own buttons.
class CImagePage : public CDialogBase {
 public:
  CImagePage(CLockedBlock<ImageSettings>& image, std::span<const ImageValue> values, bool colorMode)
      : image_(image), values_(values), colorMode_(colorMode) {}

  HWND Create(HWND tabs, int japaneseId, int englishId);
  // Copies the settings into the controls.
  void Refresh();
  // Copies the controls into the settings.
  void Collect();

 protected:
  virtual void RefreshButtons(const ImageSettings& image) = 0;
  virtual void CollectButtons(ImageSettings& image) = 0;
  // BN_CLICKED of a control the page owns beyond the Bayer mode; false when
  // it is none of them.
  virtual bool OnButton(int id, bool checked) = 0;
  // The Bayer-mode radio buttons are enabled in this state.
  virtual bool BayerModeEnabled() const = 0;

  bool ColorMode() const { return colorMode_; }
  void Change(const std::function<void(ImageSettings&)>& change) { image_.Change(change); }

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Store(int index, int value);

  CLockedBlock<ImageSettings>& image_;
  std::span<const ImageValue> values_;
  bool colorMode_;
  std::unique_ptr<CSliderGroup> sliders_;
};

// The two pages of the image dialog.
std::unique_ptr<CImagePage> MakeImageFilterPage(CLockedBlock<ImageSettings>& image, bool colorMode);
std::unique_ptr<CImagePage> MakeGrayFilterPage(CLockedBlock<ImageSettings>& image);
