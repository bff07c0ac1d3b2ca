#include "dialogs/DialogIds.h"
#include "dialogs/ImagePage.h"

namespace {

// The ranges are those the filter setters accept.
constexpr ImageValue kImageValues[] = {
    {{IDC_BRIGHTNESS_BAR, IDC_BRIGHTNESS_SPIN, IDC_BRIGHTNESS, -255, 255, 64}, &ImageSettings::brightness, -255, 255,
     false},
    {{IDC_CONTRAST_BAR, IDC_CONTRAST_SPIN, IDC_CONTRAST, -127, 127, 32}, &ImageSettings::contrast, -127, 127, false},
    {{IDC_HUE_BAR, IDC_HUE_SPIN, IDC_HUE, -360, 360, 90}, &ImageSettings::hue, -360, 360, true},
    {{IDC_SATURATION_BAR, IDC_SATURATION_SPIN, IDC_SATURATION, -255, 255, 64}, &ImageSettings::saturation, -255, 255,
     true},
    {{IDC_SHARPNESS_BAR, IDC_SHARPNESS_SPIN, IDC_SHARPNESS, 0, 30, 4}, &ImageSettings::sharpness, 0, 30, false},
    {{IDC_BAYER_R_BAR, IDC_BAYER_R_SPIN, IDC_BAYER_R, 0, 400, 32}, &ImageSettings::bayerGainRed, 0, 400, true},
    {{IDC_BAYER_G_BAR, IDC_BAYER_G_SPIN, IDC_BAYER_G, 0, 400, 32}, &ImageSettings::bayerGainGreen, 0, 400, true},
    {{IDC_BAYER_B_BAR, IDC_BAYER_B_SPIN, IDC_BAYER_B, 0, 400, 32}, &ImageSettings::bayerGainBlue, 0, 400, true},
    {{IDC_GAMMA_BAR, IDC_GAMMA_SPIN, IDC_GAMMA, 0, 200, 32}, &ImageSettings::gamma, 0, 200, false},
};

// Brightness to gamma, and the automatic white balance of the colour modes:
// "Once" measures the next frame only, "All frames" every frame.
class CImageFilterPage : public CImagePage {
 public:
  CImageFilterPage(CLockedBlock<ImageSettings>& image, bool colorMode) : CImagePage(image, kImageValues, colorMode) {}

 private:
  void RefreshButtons(const ImageSettings& image) override {
    const bool everyFrame = image.bayerGainAuto && !image.bayerAutoWorking[0];
    CheckDlgButton(Window(), IDC_ALL_FRAMES, everyFrame ? BST_CHECKED : BST_UNCHECKED);
    for (int id : {IDC_ONCE, IDC_ALL_FRAMES}) EnableWindow(GetDlgItem(Window(), id), ColorMode());
  }

  void CollectButtons(ImageSettings&) override {}

  bool OnButton(int id, bool checked) override {
    if (id == IDC_ONCE) {
      CheckDlgButton(Window(), IDC_ALL_FRAMES, BST_UNCHECKED);
      Change([](ImageSettings& image) { image.bayerGainAuto = image.bayerAutoWorking[0] = image.bayerAutoWorking[1] = 1; });
      return true;
    }
    if (id == IDC_ALL_FRAMES) {
      Change([checked](ImageSettings& image) {
        image.bayerGainAuto = checked;
        image.bayerAutoWorking[0] = image.bayerAutoWorking[1] = 0;
      });
      return true;
    }
    return false;
  }

  bool BayerModeEnabled() const override { return ColorMode(); }
};

}  // namespace

std::unique_ptr<CImagePage> MakeImageFilterPage(CLockedBlock<ImageSettings>& image, bool colorMode) {
  return std::make_unique<CImageFilterPage>(image, colorMode);
}
