// The analog dialog: each change goes to the camera at once; Cancel puts the
// camera and the instance back, OK keeps what the page shows.
#include "support/DialogFixture.h"
#include "dialogs/DialogNotices.h"

namespace {

using Channel = CFakeCameraDevice::ColorChannel;

constexpr auto kOpen = [](CTevrin& instance, HWND parent) { return instance.SetAnalogDlg(parent); };

class AnalogDialog : public DialogTest {
 protected:
  HWND MonoPage() const { return Page(IDD_ANALOG_MONO_JA, IDD_ANALOG_MONO_EN); }
  HWND ColorPage() const { return Page(IDD_ANALOG_COLOR_JA, IDD_ANALOG_COLOR_EN); }
};

INSTANTIATE_TEST_SUITE_P(Languages, AnalogDialog, ::testing::Bool(), LanguageName);

TEST_P(AnalogDialog, MonochromeSensorsShowTheOptionsTheyHave) {
  struct Case {
    int CFakeCameraDevice::*flag;
    int control;
  };
  const Case cases[] = {{&CFakeCameraDevice::hasBlackLevel, IDC_BLACK_LEVEL},
                        {&CFakeCameraDevice::hasCooler, IDC_PELTIER},
                        {&CFakeCameraDevice::hasRegisterPreset, IDC_SHORT_EXPOSURE},
                        {&CFakeCameraDevice::hasModeSwitch, IDC_GAIN_MODE}};
  for (const Case& c : cases) {
    for (int has : {0, 1}) {
      auto fake = std::make_unique<CFakeCameraDevice>();
      (*fake).*(c.flag) = has;
      Make(std::move(fake));
      Open(kOpen);
      EXPECT_EQ(TabTexts(frame, IDC_TAB), std::vector<std::string>{"Analog Gain"});
      ASSERT_NE(MonoPage(), nullptr);
      EXPECT_EQ(IsVisible(MonoPage(), c.control), has != 0) << c.control;
      Close(IDCANCEL);
    }
  }
}

TEST_P(AnalogDialog, ColorSensorsShowTheColourGainsDisabled) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->color = 1;
  fake->hasExposureSeconds = 0;
  Make(std::move(fake));
  Open(kOpen);
  ASSERT_NE(ColorPage(), nullptr);
  for (int id : {IDC_GAIN_G1, IDC_GAIN_R, IDC_GAIN_B, IDC_GAIN_G2}) {
    EXPECT_TRUE(IsVisible(ColorPage(), id)) << id;
    EXPECT_FALSE(IsEnabled(ColorPage(), id)) << id;
  }
  EXPECT_EQ(TrackbarRange(ColorPage(), IDC_GAIN_R_BAR), std::make_pair(0, 255));
  EXPECT_EQ(TrackbarRange(ColorPage(), IDC_GLOBAL_GAIN_BAR), std::make_pair(0, 480));
  EXPECT_FALSE(IsVisible(ColorPage(), IDC_EXPOSURE_EX));
  Close(IDCANCEL);
}

TEST_P(AnalogDialog, ChangesReachTheCameraAtOnceAndCancelPutsThemBack) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->hasExposureSeconds = 0;
  Make(std::move(fake));
  device->globalGain = 40;
  device->exposure = 100;
  Open(kOpen);
  SetTrackbar(MonoPage(), IDC_GLOBAL_GAIN_BAR, 200);
  EXPECT_EQ(Text(MonoPage(), IDC_GLOBAL_GAIN), "200");
  EXPECT_EQ(device->globalGain, 200);
  Type(MonoPage(), IDC_EXPOSURE, "250");
  EXPECT_EQ(device->exposure, 250);
  EXPECT_EQ(TrackbarPos(MonoPage(), IDC_EXPOSURE_BAR), 250);
  EXPECT_EQ(Text(MonoPage(), IDC_EXPOSURE_MS), "=25.00ms");
  Click(MonoPage(), IDC_MIRROR_H);
  EXPECT_EQ(device->mirrorH, 1);
  EXPECT_EQ(instance->Analog().mirrorH, 1);
  Close(IDCANCEL);
  EXPECT_EQ(device->globalGain, 40);
  EXPECT_EQ(device->exposure, 100);
  EXPECT_EQ(device->mirrorH, 0);
  EXPECT_EQ(instance->Analog().globalGain, 40);
}

TEST_P(AnalogDialog, OkKeepsThePagesValues) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->hasExposureSeconds = 0;
  Make(std::move(fake));
  Open(kOpen);
  Type(MonoPage(), IDC_GLOBAL_GAIN, "300");
  Close(IDOK);
  EXPECT_EQ(device->globalGain, 300);
  EXPECT_EQ(instance->Analog().globalGain, 300);
}

TEST_P(AnalogDialog, ExposureInSecondsOffersTheUnitsOfItsRange) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->exposureSecondsMin = 0.00002;
  fake->exposureSecondsMax = 2.0;
  Make(std::move(fake));
  device->exposureSeconds = 0.0015;
  Open(kOpen);
  EXPECT_FALSE(IsVisible(MonoPage(), IDC_EXPOSURE));
  EXPECT_EQ(ComboItems(MonoPage(), IDC_EXPOSURE_UNIT), (std::vector<std::string>{"μs", "ms", "sec"}));
  EXPECT_EQ(Text(MonoPage(), IDC_EXPOSURE_RANGE), "range: 20μs - 2sec");
  EXPECT_EQ(Text(MonoPage(), IDC_EXPOSURE_EX), "1.500");
  EXPECT_EQ(Text(MonoPage(), IDC_EXPOSURE_UNIT), "ms");
  Choose(MonoPage(), IDC_EXPOSURE_UNIT, 0);  // 1.5 μs
  EXPECT_DOUBLE_EQ(device->exposureSeconds, 0.0000015);
  Type(MonoPage(), IDC_EXPOSURE_EX, "250");
  EXPECT_DOUBLE_EQ(device->exposureSeconds, 0.00025);
  EXPECT_DOUBLE_EQ(instance->Analog().exposureSeconds, 0.00025);
  Close(IDOK);
}

TEST_P(AnalogDialog, DefaultSendsTheSensorsDefaults) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->hasExposureSeconds = 0;
  fake->hasCooler = fake->hasRegisterPreset = fake->hasModeSwitch = fake->hasBlackLevel = 1;
  fake->globalGainDefault = 64, fake->exposureDefault = 333, fake->blackLevelDefault = 12;
  fake->registerPreset = fake->modeSwitch = 1;
  Make(std::move(fake));
  Open(kOpen);
  Click(frame, IDC_DEFAULT);
  EXPECT_EQ(device->globalGain, 64);
  EXPECT_EQ(device->exposure, 333);
  EXPECT_EQ(device->blackLevel, 12);
  EXPECT_EQ(device->cooler, 1);
  EXPECT_EQ(device->registerPreset, 0);
  EXPECT_EQ(device->modeSwitch, 0);
  EXPECT_EQ(Text(MonoPage(), IDC_GLOBAL_GAIN), "64");
  Close(IDOK);
  EXPECT_EQ(instance->Analog().exposure, 333);
}

TEST_P(AnalogDialog, AutoIrisChecksExcludeEachOther) {
  Make();
  Open(kOpen);
  Click(MonoPage(), IDC_IRIS_GAIN);
  EXPECT_EQ(instance->Analog().autoIris, 2);
  Click(MonoPage(), IDC_IRIS_EXPOSURE);
  EXPECT_EQ(instance->Analog().autoIris, 1);
  EXPECT_FALSE(IsChecked(MonoPage(), IDC_IRIS_GAIN));
  Click(MonoPage(), IDC_IRIS_EXPOSURE);
  EXPECT_EQ(instance->Analog().autoIris, 0);
  Close(IDOK);
}

// What the automatic exposure posts from the frame thread shows in the page.
TEST_P(AnalogDialog, AutomaticExposureValuesShowInThePage) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->hasExposureSeconds = 0;
  Make(std::move(fake));
  Open(kOpen);
  PostAutoIrisGain(MonoPage(), 123);
  PostAutoIrisExposure(MonoPage(), 456);
  EXPECT_TRUE(WaitUntil([&] { return Text(MonoPage(), IDC_EXPOSURE) == "456"; }));
  EXPECT_EQ(Text(MonoPage(), IDC_GLOBAL_GAIN), "123");
  EXPECT_EQ(TrackbarPos(MonoPage(), IDC_GLOBAL_GAIN_BAR), 123);
  Close(IDOK);
}

}  // namespace
