// The instance's settings through a restart: Release, then Initialize again.
#include <windows.h>

#include "settings/SettingsKey.h"
#include "settings/StoredSettings.h"
#include "support/InstanceFixture.h"

namespace {

using ::testing::Contains;
using ::testing::Not;

class StoredSettingsRestart : public InstanceTest {
 protected:
  static std::unique_ptr<CFakeCameraDevice> ColorCamera() {
    auto fake = std::make_unique<CFakeCameraDevice>();
    fake->color = 1;
    fake->hasBlackLevel = fake->hasModeSwitch = 1;
    fake->globalGainDefault = 11;
    fake->colorGainDefault = 22;
    fake->exposureDefault = 33;
    fake->exposureSecondsDefault = 0.0033;
    fake->blackLevelDefault = 44;
    return fake;
  }

  static bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  static void PutDword(const std::string& path, const char* name, int value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD data = static_cast<DWORD>(value);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
  }
};

TEST_F(StoredSettingsRestart, EverySettingSurvivesARestart) {
  auto instance = Make(ColorCamera());
  const std::pair<int, int> values[] = {
      {TEVRIN_FILTER_BRIGHTNESS, -12},       {TEVRIN_FILTER_CONTRAST, 34},          {TEVRIN_FILTER_HUE, -56},
      {TEVRIN_FILTER_SATURATION, 78},        {TEVRIN_FILTER_SHARPNESS, 9},          {TEVRIN_FILTER_BAYER_GAIN_RED, 110},
      {TEVRIN_FILTER_BAYER_GAIN_GREEN, 120}, {TEVRIN_FILTER_BAYER_GAIN_BLUE, 130},  {TEVRIN_FILTER_GAMMA, 140},
      {TEVRIN_FILTER_BAYER_MODE, 1},         {TEVRIN_FILTER_GRAY_MODE, 1},          {TEVRIN_FILTER_GRAY_GAIN_R, 100},
      {TEVRIN_FILTER_GRAY_GAIN_G1, 101},     {TEVRIN_FILTER_GRAY_GAIN_G2, 102},     {TEVRIN_FILTER_GRAY_GAIN_B, 103},
      {TEVRIN_FILTER_GRAY_OFFSET_R, -4},     {TEVRIN_FILTER_GRAY_OFFSET_G1, 5},     {TEVRIN_FILTER_GRAY_OFFSET_G2, -6},
      {TEVRIN_FILTER_GRAY_OFFSET_B, 7},      {TEVRIN_FILTER_GLOBAL_GAIN, 200},      {TEVRIN_FILTER_COLOR_GAIN_RED, 31},
      {TEVRIN_FILTER_COLOR_GAIN_GREEN1, 32}, {TEVRIN_FILTER_COLOR_GAIN_GREEN2, 33}, {TEVRIN_FILTER_COLOR_GAIN_BLUE, 34},
      {TEVRIN_FILTER_MODE_SWITCH, 2},        {TEVRIN_FILTER_BLACK_LEVEL, 50},
  };
  for (const auto& [id, value] : values) ASSERT_EQ(instance->SetFilterValue(id, value), 1) << id;
  ASSERT_EQ(instance->SetExposureTimeEx(0.125), 1);
  ASSERT_EQ(instance->SetMirrorV(1), 1);
  ASSERT_EQ(instance->SetMirrorH(1), 1);
  ASSERT_EQ(instance->SetAutoIris(2), 1);
  // The camera dialog stores the size table and the format values.
  SizeTable table;
  table.entries = {Geometry{}, Geometry{.EH = 320, .EV = 256, .EHS = 32, .EVS = 16, .Buf = 6}};
  table.selected = 1;
  table.format = {.colorMode = 3, .subSample = 1, .waitTime = 70, .clock = 2};
  ASSERT_EQ(SaveSizeTable(0, table), 1);
  const ImageSettings image = instance->Image();
  const AnalogSettings analog = instance->Analog();
  instance.reset();

  auto restarted = Make(ColorCamera());
  for (const auto& [id, value] : values) {
    int ok = 0;
    EXPECT_EQ(restarted->GetFilterValue(id, &ok), value) << id;
  }
  EXPECT_EQ(restarted->Image().grayOffsetB, image.grayOffsetB);
  EXPECT_EQ(restarted->Analog().exposure, analog.exposure);
  EXPECT_EQ(restarted->Analog().exposureSeconds, 0.125);
  EXPECT_EQ(restarted->Analog().mirrorV, 1);
  EXPECT_EQ(restarted->Analog().mirrorH, 1);
  EXPECT_EQ(restarted->Analog().autoIris, 2);
  EXPECT_THAT(device->calls, Contains("SetExposureSeconds(0.125000)"));
  EXPECT_THAT(device->calls, Contains("SetGlobalGain(200)"));
  EXPECT_EQ(restarted->CurrentGeometry(), table.entries[1]);
  EXPECT_EQ(restarted->GetColorMode(), 32);
  EXPECT_EQ(restarted->GetSubSample(), 1);
  EXPECT_EQ(restarted->GetWaitTime(), 70);
  EXPECT_EQ(restarted->GetClock(), 2);
}

TEST_F(StoredSettingsRestart, EachCameraKeepsItsOwnSettings) {
  auto fake = ColorCamera();
  fake->present = {0, 1};
  fake->count = 2;
  auto instance = Make(std::move(fake));
  ASSERT_EQ(instance->SetDeviceNumber(0), 1);
  ASSERT_EQ(instance->SetFilterValue(TEVRIN_FILTER_GRAY_GAIN_R, 50), 1);
  ASSERT_EQ(instance->SetDeviceNumber(1), 1);
  EXPECT_EQ(instance->Image().grayGainR, 128);
  ASSERT_EQ(instance->SetFilterValue(TEVRIN_FILTER_GRAY_GAIN_R, 60), 1);
  instance.reset();
  // Saving for the new number created its key with "Gain" first, so "Gray" was written too.
  EXPECT_TRUE(KeyExists(CameraKeyPath(1) + "\\Gain"));
  EXPECT_TRUE(KeyExists(CameraKeyPath(1) + "\\Gray"));

  auto restarted = Make(ColorCamera());  // one camera: number 0
  EXPECT_EQ(restarted->Image().grayGainR, 50);
}

TEST_F(StoredSettingsRestart, BadStoredValuesNeverReachTheCamera) {
  PutDword(CameraKeyPath(0) + "\\Gain", "Global", 100000);
  PutDword(CameraKeyPath(0) + "\\Gain", "V_Mirror", 7);
  PutDword(CameraKeyPath(0) + "\\Gain", "Exposure", -3);
  auto fake = ColorCamera();
  fake->hasExposureSeconds = 0;
  auto instance = Make(std::move(fake));
  EXPECT_THAT(device->calls, Contains("SetGlobalGain(11)"));
  EXPECT_THAT(device->calls, Contains("SetMirrorV(0)"));
  EXPECT_THAT(device->calls, Contains("SetExposure(33)"));
  EXPECT_THAT(device->calls, Not(Contains("SetGlobalGain(100000)")));
}

TEST_F(StoredSettingsRestart, ColorModeIsAdjustedToTheSensor) {
  PutDword(CameraKeyPath(0), "Color", 3);
  PutDword(CameraKeyPath(0) + "\\Size_00", "EH", 640);
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->gray8 = 0;
  fake->gray16 = 1;
  fake->color = 0;
  auto instance = Make(std::move(fake));
  EXPECT_EQ(instance->GetColorMode(), 16);
}

TEST_F(StoredSettingsRestart, AnInstanceThatNeverStartedLeavesTheSettingsAlone) {
  {
    auto instance = Make(ColorCamera());
    ASSERT_EQ(instance->SetFilterValue(TEVRIN_FILTER_GAMMA, 150), 1);
  }
  {
    CTevrin idle([] { return std::unique_ptr<CTevrinU3K5Base>(ColorCamera()); });
  }
  auto instance = Make(ColorCamera());
  int ok = 0;
  EXPECT_EQ(instance->GetFilterValue(TEVRIN_FILTER_GAMMA, &ok), 150);
}

TEST_F(StoredSettingsRestart, TheCameraDialogsOkReloadsGeometryAndFormat) {
  auto instance = Make(ColorCamera());
  SizeTable table;
  ASSERT_EQ(LoadSizeTable(0, {}, &table), 1);
  table.entries.push_back(Geometry{.EH = 400, .EV = 300});
  table.selected = 1;
  table.format.waitTime = 5;
  ASSERT_EQ(SaveSizeTable(0, table), 1);
  EXPECT_EQ(instance->ReloadStoredFormat(), 1);
  EXPECT_EQ(instance->CurrentGeometry().EH, 400);
  EXPECT_EQ(instance->GetWaitTime(), 5);
}

TEST_F(StoredSettingsRestart, InitializingAgainKeepsEachCamerasSettingsApart) {
  auto twoCameras = [] {
    auto fake = std::make_unique<CFakeCameraDevice>();
    fake->present = {0, 1};
    fake->count = 2;
    return std::unique_ptr<CTevrinU3K5Base>(std::move(fake));
  };
  CTevrin instance(twoCameras);
  ASSERT_EQ(instance.Initialize(nullptr), 1);
  ASSERT_EQ(instance.SetDeviceNumber(0), 1);
  ASSERT_EQ(instance.SetFilterValue(TEVRIN_FILTER_GRAY_GAIN_R, 10), 1);
  ASSERT_EQ(instance.SetDeviceNumber(1), 1);
  ASSERT_EQ(instance.SetFilterValue(TEVRIN_FILTER_GRAY_GAIN_R, 20), 1);
  ASSERT_EQ(instance.Initialize(nullptr), 1);
  // Camera 1's value went to camera 1, not to the new device object's camera 0.
  EXPECT_EQ(instance.Image().grayGainR, 10);
  ASSERT_EQ(instance.SetDeviceNumber(1), 1);
  EXPECT_EQ(instance.Image().grayGainR, 20);
}

}  // namespace
