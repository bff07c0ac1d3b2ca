// The image dialog: its pages edit the image settings in place; Cancel
// restores them, OK keeps them, Default makes the filters neutral.
#include "support/DialogFixture.h"

namespace {

constexpr auto kOpen = [](CTevrin& instance, HWND parent) { return instance.SetImageDlg(parent); };
constexpr int kColorBits = 24;

class ImageDialog : public DialogTest {
 protected:
  // An instance in a monochrome (8-bit) or colour (24-bit) mode.
  void MakeInMode(bool color) {
    auto fake = std::make_unique<CFakeCameraDevice>();
    fake->color = 1;
    Make(std::move(fake));
    ASSERT_EQ(instance->SetColorMode(color ? kColorBits : 8), 1);
  }
  HWND ImagePage() const { return Page(IDD_IMAGE_FILTER_JA, IDD_IMAGE_FILTER_EN); }
  HWND GrayPage() const { return Page(IDD_GRAY_FILTER_JA, IDD_GRAY_FILTER_EN); }
};

INSTANTIATE_TEST_SUITE_P(Languages, ImageDialog, ::testing::Bool(), LanguageName);

TEST_P(ImageDialog, MonochromeModesAddTheGrayPageAndDisableTheColourControls) {
  for (bool color : {false, true}) {
    MakeInMode(color);
    Open(kOpen);
    const std::vector<std::string> tabs =
        color ? std::vector<std::string>{"Image Filter"} : std::vector<std::string>{"Image Filter", "Gray Filter"};
    EXPECT_EQ(TabTexts(frame, IDC_TAB), tabs);
    EXPECT_EQ(GrayPage() != nullptr, !color);
    for (int id : {IDC_HUE, IDC_SATURATION, IDC_BAYER_R, IDC_BAYER_G, IDC_BAYER_B, IDC_ONCE, IDC_ALL_FRAMES,
                   IDC_BAYER_MODE_0}) {
      EXPECT_EQ(IsEnabled(ImagePage(), id), color) << id;
    }
    for (int id : {IDC_BRIGHTNESS, IDC_CONTRAST, IDC_SHARPNESS, IDC_GAMMA}) EXPECT_TRUE(IsEnabled(ImagePage(), id));
    if (!color) {
      EXPECT_FALSE(IsVisible(GrayPage(), IDC_GRAY_GAIN_R)) << "hidden until its tab is selected";
      SelectTab(frame, IDC_TAB, 1);
      EXPECT_TRUE(IsVisible(GrayPage(), IDC_GRAY_GAIN_R));
      EXPECT_FALSE(IsVisible(ImagePage(), IDC_BRIGHTNESS));
    }
    Close(IDCANCEL);
  }
}

TEST_P(ImageDialog, SlidersStoreWithinTheRangesTheSdkKeeps) {
  struct Case {
    bool grayPage;
    int trackbar;
    int position;
    int ImageSettings::*field;
    int stored;
  };
  const Case cases[] = {
      {false, IDC_BRIGHTNESS_BAR, -100, &ImageSettings::brightness, -100},
      {false, IDC_GAMMA_BAR, 150, &ImageSettings::gamma, 150},
      {false, IDC_SHARPNESS_BAR, 30, &ImageSettings::sharpness, 30},
      {true, IDC_GRAY_GAIN_R_BAR, 200, &ImageSettings::grayGainR, 200},
      {true, IDC_GRAY_GAIN_B_BAR, 400, &ImageSettings::grayGainB, kGrayGainMax},
      {true, IDC_GRAY_OFFSET_G2_BAR, -30, &ImageSettings::grayOffsetG2, -30},
  };
  MakeInMode(false);
  Open(kOpen);
  for (const Case& c : cases) {
    SetTrackbar(c.grayPage ? GrayPage() : ImagePage(), c.trackbar, c.position);
    EXPECT_EQ(instance->Image().*(c.field), c.stored) << c.trackbar;
  }
  Type(GrayPage(), IDC_GRAY_GAIN_G1, "399");
  EXPECT_EQ(instance->Image().grayGainG1, kGrayGainMax);
  Close(IDOK);
  EXPECT_EQ(instance->Image().grayGainB, kGrayGainMax);
  EXPECT_EQ(instance->Image().brightness, -100);
}

TEST_P(ImageDialog, CancelRestoresTheSettings) {
  MakeInMode(true);
  const ImageSettings before = instance->Image();
  Open(kOpen);
  Type(ImagePage(), IDC_CONTRAST, "-50");
  Click(ImagePage(), IDC_BAYER_MODE_1);
  EXPECT_EQ(instance->Image().contrast, -50);
  EXPECT_EQ(instance->Image().bayerMode, 1);
  Close(IDCANCEL);
  EXPECT_EQ(instance->Image().contrast, before.contrast);
  EXPECT_EQ(instance->Image().bayerMode, before.bayerMode);
}

TEST_P(ImageDialog, DefaultNeutralisesTheFiltersAndTheGrayValuesOnlyInMonochrome) {
  for (bool color : {false, true}) {
    MakeInMode(color);
    ASSERT_EQ(instance->SetFilterValue(1, 50), 1);    // brightness
    ASSERT_EQ(instance->SetFilterValue(20, 10), 1);   // gray gain R
    ASSERT_EQ(instance->SetFilterValue(25, -20), 1);  // gray offset G1
    Open(kOpen);
    Click(frame, IDC_DEFAULT);
    const ImageSettings image = instance->Image();
    EXPECT_EQ(image.brightness, 0);
    EXPECT_EQ(image.gamma, 100);
    EXPECT_EQ(image.bayerGainRed, 100);
    EXPECT_EQ(image.bayerMode, 3);
    EXPECT_EQ(image.grayGainR, color ? 10 : kGrayGainDefault);
    EXPECT_EQ(image.grayOffsetG1, color ? -20 : kGrayOffsetDefault);
    EXPECT_EQ(Text(ImagePage(), IDC_BRIGHTNESS), "0");
    Close(IDOK);
  }
}

TEST_P(ImageDialog, OnceAndAllFramesRequestMeasurements) {
  MakeInMode(false);
  Open(kOpen);
  Click(GrayPage(), IDC_ALL_FRAMES);
  EXPECT_EQ(instance->Image().grayAutoGainRequest, -1);
  Click(GrayPage(), IDC_ONCE);
  EXPECT_EQ(instance->Image().grayAutoGainRequest, 1);
  Click(GrayPage(), IDC_GRAYSCALE);
  EXPECT_EQ(instance->Image().grayMode, 2);
  Close(IDOK);
  MakeInMode(true);
  Open(kOpen);
  Click(ImagePage(), IDC_ALL_FRAMES);
  EXPECT_EQ(instance->Image().bayerGainAuto, 1);
  Click(ImagePage(), IDC_ONCE);
  const ImageSettings image = instance->Image();
  EXPECT_EQ(image.bayerGainAuto, 1);
  EXPECT_EQ(image.bayerAutoWorking[0], 1);
  EXPECT_FALSE(IsChecked(ImagePage(), IDC_ALL_FRAMES));
  Close(IDOK);
}

}  // namespace
