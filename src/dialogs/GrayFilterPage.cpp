#include "dialogs/DialogIds.h"
#include "dialogs/ImagePage.h"

namespace {

constexpr Slider GainSlider(int trackbar, int updown, int edit) {
  return {trackbar, updown, edit, 0, 400, 32};
}

constexpr Slider OffsetSlider(int trackbar, int updown, int edit) {
  return {trackbar, updown, edit, -255, 255, 32};
}

// The gains' sliders reach 400, but the gray pipeline and the stored
// settings keep them within kGrayGainMin..kGrayGainMax.
constexpr ImageValue kGrayValues[] = {
    {GainSlider(IDC_GRAY_GAIN_R_BAR, IDC_GRAY_GAIN_R_SPIN, IDC_GRAY_GAIN_R), &ImageSettings::grayGainR, kGrayGainMin,
     kGrayGainMax, false},
    {GainSlider(IDC_GRAY_GAIN_G1_BAR, IDC_GRAY_GAIN_G1_SPIN, IDC_GRAY_GAIN_G1), &ImageSettings::grayGainG1,
     kGrayGainMin, kGrayGainMax, false},
    {GainSlider(IDC_GRAY_GAIN_G2_BAR, IDC_GRAY_GAIN_G2_SPIN, IDC_GRAY_GAIN_G2), &ImageSettings::grayGainG2,
     kGrayGainMin, kGrayGainMax, false},
    {GainSlider(IDC_GRAY_GAIN_B_BAR, IDC_GRAY_GAIN_B_SPIN, IDC_GRAY_GAIN_B), &ImageSettings::grayGainB, kGrayGainMin,
     kGrayGainMax, false},
    {OffsetSlider(IDC_GRAY_OFFSET_R_BAR, IDC_GRAY_OFFSET_R_SPIN, IDC_GRAY_OFFSET_R), &ImageSettings::grayOffsetR,
     -255, 255, false},
    {OffsetSlider(IDC_GRAY_OFFSET_G1_BAR, IDC_GRAY_OFFSET_G1_SPIN, IDC_GRAY_OFFSET_G1), &ImageSettings::grayOffsetG1,
     -255, 255, false},
    {OffsetSlider(IDC_GRAY_OFFSET_G2_BAR, IDC_GRAY_OFFSET_G2_SPIN, IDC_GRAY_OFFSET_G2), &ImageSettings::grayOffsetG2,
     -255, 255, false},
    {OffsetSlider(IDC_GRAY_OFFSET_B_BAR, IDC_GRAY_OFFSET_B_SPIN, IDC_GRAY_OFFSET_B), &ImageSettings::grayOffsetB,
     -255, 255, false},
};

constexpr int kFilterModes[] = {IDC_GRAY_BAYER, IDC_GRAY_BAYER_CONVERT, IDC_GRAYSCALE};
// The gray auto-gain request: one measurement, or one per frame.
constexpr int kMeasureOnce = 1;
constexpr int kMeasureEveryFrame = -1;

// Gains and offsets per Bayer cell for the monochrome modes, the filter mode
// and the automatic gain.
class CGrayFilterPage : public CImagePage {
 public:
  explicit CGrayFilterPage(CLockedBlock<ImageSettings>& image) : CImagePage(image, kGrayValues, false) {}

 private:
  void RefreshButtons(const ImageSettings& image) override {
    if (image.grayMode >= 0 && image.grayMode < 3) {
      CheckRadioButton(Window(), IDC_GRAY_BAYER, IDC_GRAYSCALE, kFilterModes[image.grayMode]);
    }
    CheckDlgButton(Window(), IDC_ALL_FRAMES,
                   image.grayAutoGainRequest == kMeasureEveryFrame ? BST_CHECKED : BST_UNCHECKED);
  }

  void CollectButtons(ImageSettings& image) override {
    for (int mode = 0; mode < 3; ++mode) {
      if (IsDlgButtonChecked(Window(), kFilterModes[mode]) == BST_CHECKED) image.grayMode = mode;
    }
  }

  bool OnButton(int id, bool checked) override {
    for (int mode = 0; mode < 3; ++mode) {
      if (id != kFilterModes[mode]) continue;
      Change([mode](ImageSettings& image) { image.grayMode = mode; });
      return true;
    }
    if (id == IDC_ONCE) {
      CheckDlgButton(Window(), IDC_ALL_FRAMES, BST_UNCHECKED);
      Change([](ImageSettings& image) { image.grayAutoGainRequest = kMeasureOnce; });
      return true;
    }
    if (id == IDC_ALL_FRAMES) {
      Change([checked](ImageSettings& image) { image.grayAutoGainRequest = checked ? kMeasureEveryFrame : 0; });
      return true;
    }
    return false;
  }

  bool BayerModeEnabled() const override { return true; }
};

}  // namespace

std::unique_ptr<CImagePage> MakeGrayFilterPage(CLockedBlock<ImageSettings>& image) {
  return std::make_unique<CGrayFilterPage>(image);
}
