// Selecting, listing and naming cameras; serial number and camera info.
#include <cstring>
#include <string>

#include "support/InstanceFixture.h"

namespace {

using DeviceSelection = InstanceTest;
using ::testing::ElementsAre;

std::unique_ptr<CFakeCameraDevice> TwoCameras() {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->present = {0, 1};
  fake->count = 2;
  return fake;
}

TEST_F(DeviceSelection, SwitchingCamerasSendsTheNewCamerasAnalogValuesInOrder) {
  auto fake = TwoCameras();
  fake->hasBlackLevel = fake->hasCooler = fake->hasRegisterPreset = fake->hasModeSwitch = 1;
  fake->hasExposureSeconds = 0;
  fake->globalGainDefault = 7;
  fake->colorGainDefault = 64;
  fake->exposureDefault = 33;
  fake->blackLevelDefault = 12;
  auto instance = Make(std::move(fake));
  ASSERT_EQ(instance->SetDeviceNumber(0), 1);
  ASSERT_EQ(instance->SetFilterValue(TEVRIN_FILTER_GLOBAL_GAIN, 100), 1);
  ASSERT_EQ(instance->SetFilterValue(TEVRIN_FILTER_COLOR_GAIN_RED, 30), 1);
  ASSERT_EQ(instance->SetFilterValue(TEVRIN_FILTER_EXPOSURE_TIME, 250), 1);
  ASSERT_EQ(instance->SetMirrorV(1), 1);
  device->calls.clear();
  // Camera 1 has no stored settings yet: it gets the sensor's defaults.
  ASSERT_EQ(instance->SetDeviceNumber(1), 1);
  EXPECT_THAT(device->calls, ElementsAre("OpenDevice(1)", "SetGlobalGain(7)", "SetColorGain(0,64)",
                                         "SetColorGain(1,64)", "SetColorGain(2,64)", "SetColorGain(3,64)",
                                         "SetExposure(33)", "SetMirrorV(0)", "SetMirrorH(0)", "SetBlackLevel(12)",
                                         "SetCooler(1)", "SetRegisterPreset(0)", "SetModeSwitch(0)"));
  EXPECT_EQ(instance->DeviceNumber(), 1);
  EXPECT_EQ(instance->Analog().peltier, 1);
  // Camera 0's values were saved on the way out and come back with it.
  device->calls.clear();
  ASSERT_EQ(instance->SetDeviceNumber(0), 1);
  EXPECT_THAT(device->calls, ElementsAre("OpenDevice(0)", "SetGlobalGain(100)", "SetColorGain(0,100)",
                                         "SetColorGain(1,30)", "SetColorGain(2,100)", "SetColorGain(3,100)",
                                         "SetExposure(250)", "SetMirrorV(1)", "SetMirrorH(0)", "SetBlackLevel(12)",
                                         "SetCooler(1)", "SetRegisterPreset(0)", "SetModeSwitch(0)"));
}

TEST_F(DeviceSelection, FractionalExposureIsSentWhenTheSensorHasIt) {
  auto instance = Make(TwoCameras());
  ASSERT_EQ(instance->SetDeviceNumber(0), 1);
  ASSERT_EQ(instance->SetExposureTimeEx(0.25), 1);
  ASSERT_EQ(instance->SetDeviceNumber(1), 1);
  device->calls.clear();
  ASSERT_EQ(instance->SetDeviceNumber(0), 1);
  EXPECT_THAT(device->calls, ::testing::Contains("SetExposureSeconds(0.250000)"));
  EXPECT_THAT(device->calls, ::testing::Not(::testing::Contains(::testing::StartsWith("SetExposure("))));
}

TEST_F(DeviceSelection, TheOpenCameraAgainChangesNothing) {
  auto instance = Make();
  device->calls.clear();
  EXPECT_EQ(instance->SetDeviceNumber(0), 1);
  EXPECT_TRUE(device->calls.empty());
}

TEST_F(DeviceSelection, AbsentOrUnopenableCameraIsError2) {
  auto instance = Make(TwoCameras());
  EXPECT_EQ(instance->SetDeviceNumber(5), 0);
  device->openResult = 0;
  EXPECT_EQ(instance->SetDeviceNumber(1), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(2, 2));
  EXPECT_EQ(instance->DeviceNumber(), -1);
}

TEST_F(DeviceSelection, EnumNumbersCamerasByHowManyWereFound) {
  struct Case {
    std::set<int> present;
    int count;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {{0, 1}, 2, {"TevrinHalden_01", "TevrinHalden_02"}},
      {{1, 3}, 4, {"TevrinHalden_01", "TevrinHalden_02"}},
      {{}, 0, {}},
  };
  for (const Case& c : cases) {
    auto fake = std::make_unique<CFakeCameraDevice>();
    fake->present = c.present;
    fake->count = c.count;
    auto instance = Make(std::move(fake));
    char names[10][256];
    std::memset(names, 'x', sizeof names);
    EXPECT_EQ(instance->EnumDevice(names), static_cast<int>(c.names.size()));
    for (int i = 0; i < 10; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(names[i], i < static_cast<int>(c.names.size()) ? c.names[static_cast<size_t>(i)] : "");
    }
  }
}

TEST_F(DeviceSelection, EnumStopsAtTenNames) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->count = 12;
  for (int i = 0; i < 12; ++i) fake->present.insert(i);
  auto instance = Make(std::move(fake));
  char names[11][256] = {};
  std::strcpy(names[10], "guard");
  EXPECT_EQ(instance->EnumDevice(names), 10);
  EXPECT_STREQ(names[9], "TevrinHalden_10");
  EXPECT_STREQ(names[10], "guard");
  EXPECT_EQ(instance->EnumDevice(nullptr), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(9));
}

TEST_F(DeviceSelection, DeviceNameNeedsRoomForTheWholeName) {
  auto instance = Make(TwoCameras());
  char name[32];
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(instance->GetDeviceName(0, name, 13), 0);
  EXPECT_EQ(instance->GetDeviceName(0, name, 15), 0);
  EXPECT_EQ(name[0], 'x');
  EXPECT_EQ(instance->GetDeviceName(0, nullptr, 16), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 9, 9));
  ASSERT_EQ(instance->GetDeviceName(0, name, 16), 1);
  EXPECT_STREQ(name, "TevrinHalden_01");
  ASSERT_EQ(instance->GetDeviceName(1, name, 16), 1);
  EXPECT_STREQ(name, "TevrinHalden_02");
}

TEST_F(DeviceSelection, DeviceNameOfAnAbsentOrOutOfRangeIndexIsError2) {
  auto instance = Make(TwoCameras());
  char name[32];
  EXPECT_EQ(instance->GetDeviceName(2, name, 32), 0);
  EXPECT_EQ(instance->GetDeviceName(-1, name, 32), 0);
  device->present.insert(32);
  EXPECT_EQ(instance->GetDeviceName(32, name, 32), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(2, 2, 2));
}

void WriteSerial(CFakeCameraDevice& fake, const std::string& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) fake.eeprom[0x1040 + static_cast<int>(i)] = static_cast<uint8_t>(bytes[i]);
}

TEST_F(DeviceSelection, SerialNumberIsReadFromTheEeprom) {
  auto instance = Make();
  WriteSerial(*device, std::string("HX-00417\0junk", 13));
  char serial[40];
  std::memset(serial, 'x', sizeof serial);
  ASSERT_EQ(instance->ReadSerialNumber(serial, 32), 1);
  EXPECT_STREQ(serial, "HX-00417");
}

TEST_F(DeviceSelection, SerialNumberOfThirtyTwoCharactersKeepsThirtyOne) {
  auto instance = Make();
  WriteSerial(*device, std::string(32, 'S'));
  char serial[40];
  std::memset(serial, 'x', sizeof serial);
  ASSERT_EQ(instance->ReadSerialNumber(serial, 32), 1);
  EXPECT_EQ(std::string(serial), std::string(31, 'S'));
}

TEST_F(DeviceSelection, SerialNumberStopsAtAnErasedByteOrAFailedRead) {
  auto instance = Make();
  WriteSerial(*device,
              "AB\xff"
              "CD");
  char serial[32];
  ASSERT_EQ(instance->ReadSerialNumber(serial, 32), 1);
  EXPECT_STREQ(serial, "AB");
  WriteSerial(*device, "ABCD");
  device->failingEepromReads = {0x1042};
  ASSERT_EQ(instance->ReadSerialNumber(serial, 32), 1);
  EXPECT_STREQ(serial, "AB");
}

TEST_F(DeviceSelection, EmptyOrUnreadableSerialNumber) {
  auto instance = Make();
  char serial[32] = "untouched";
  EXPECT_EQ(instance->ReadSerialNumber(serial, 32), 1);  // erased EEPROM: all 0xFF
  EXPECT_STREQ(serial, "untouched");
  WriteSerial(*device, std::string("\0AB", 3));
  EXPECT_EQ(instance->ReadSerialNumber(serial, 32), 1);
  EXPECT_STREQ(serial, "untouched");
  device->failingEepromReads = {0x1040};
  EXPECT_EQ(instance->ReadSerialNumber(serial, 32), 0);
  EXPECT_EQ(instance->PopError(), 0);  // a failed first read records nothing
  EXPECT_EQ(instance->ReadSerialNumber(serial, 31), 0);
  EXPECT_EQ(instance->ReadSerialNumber(nullptr, 32), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 9));
}

TEST_F(DeviceSelection, CameraInfoFillsWhatTheCallerSized) {
  auto instance = Make();
  device->globalGainMin = 1;
  device->globalGainMax = 480;
  device->colorGainMin = 2;
  device->colorGainMax = 255;
  device->exposureMin = 3;
  device->exposureMax = 90000;
  CameraInfo info;
  std::memset(&info, 0x7F, sizeof info);
  info.size = 36;
  ASSERT_EQ(instance->GetCameraInfo(&info), 1);
  EXPECT_EQ(info.maxWidth, 640);
  EXPECT_EQ(info.maxHeight, 512);
  EXPECT_EQ(info.globalGainMin, 1);
  EXPECT_EQ(info.globalGainMax, 480);
  EXPECT_EQ(info.colorGainMin, 2);
  EXPECT_EQ(info.colorGainMax, 255);
  EXPECT_EQ(info.exposureMin, 3);
  EXPECT_EQ(info.exposureMax, 90000);
  EXPECT_EQ(info.reserved, 0x7F7F7F7F);
  EXPECT_NE(info.exposureSecondsMin, device->exposureSecondsMin);
  info.size = 56;
  ASSERT_EQ(instance->GetCameraInfo(&info), 1);
  EXPECT_EQ(info.reserved, 0x7F7F7F7F);
  EXPECT_EQ(info.exposureSecondsMin, device->exposureSecondsMin);
  EXPECT_EQ(info.exposureSecondsMax, device->exposureSecondsMax);
}

TEST_F(DeviceSelection, CameraInfoRefusesNullAndShortBlocks) {
  auto instance = Make();
  CameraInfo info{};
  info.size = 35;
  EXPECT_EQ(instance->GetCameraInfo(&info), 0);
  EXPECT_EQ(info.maxWidth, 0);
  EXPECT_EQ(instance->GetCameraInfo(nullptr), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 5));
}

}  // namespace
