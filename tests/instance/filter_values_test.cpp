// The filter-value family: every ID, its range, its effect and its errors.
#include "support/InstanceFixture.h"

namespace {

using FilterValues = InstanceTest;
using ::testing::ElementsAre;

TEST_F(FilterValues, StoredValuesKeepTheirRange) {
  struct Range {
    int id, min, max;
  };
  const Range ranges[] = {
      {1, -255, 255}, {2, -127, 127},  {3, -360, 360},  {4, -255, 255},  {5, 0, 30},      {7, 0, 400},  {8, 0, 400},
      {9, 0, 400},    {11, 0, 200},    {12, 0, 3},      {19, 0, 2},      {20, 0, 255},    {21, 0, 255}, {22, 0, 255},
      {23, 0, 255},   {24, -255, 255}, {25, -255, 255}, {26, -255, 255}, {27, -255, 255}, {102, 0, 1},  {103, 0, 1}};
  auto instance = Make();
  for (const Range& r : ranges) {
    SCOPED_TRACE(r.id);
    int ok = -1;
    EXPECT_EQ(instance->SetFilterValue(r.id, r.min), 1);
    EXPECT_EQ(instance->GetFilterValue(r.id, &ok), r.min);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(instance->SetFilterValue(r.id, r.max), 1);
    EXPECT_EQ(instance->SetFilterValue(r.id, r.max + 1), 0);
    EXPECT_EQ(instance->SetFilterValue(r.id, r.min - 1), 0);
    EXPECT_EQ(instance->GetFilterValue(r.id, nullptr), r.max);
    EXPECT_THAT(Errors(*instance), ElementsAre(9, 9));
  }
}

TEST_F(FilterValues, NamedSettingsLandInTheirFields) {
  auto instance = Make();
  instance->SetFilterValue(TEVRIN_FILTER_BRIGHTNESS, -255);
  instance->SetFilterValue(TEVRIN_FILTER_GAMMA, 150);
  instance->SetFilterValue(TEVRIN_FILTER_GRAY_OFFSET_B, -3);
  instance->SetFilterValue(TEVRIN_FILTER_DOT_FILTER, 1);
  instance->SetFilterValue(TEVRIN_FILTER_MASK_FILTER, 1);
  instance->SetFilterValue(TEVRIN_FILTER_GRAY_AUTO_GAIN_ONCE, 1);
  EXPECT_EQ(instance->Image().brightness, -255);
  EXPECT_EQ(instance->Image().gamma, 150);
  EXPECT_EQ(instance->Image().grayOffsetB, -3);
  EXPECT_EQ(instance->Image().grayAutoGainRequest, 1);
  EXPECT_EQ(instance->DotFilter(), 1);
  EXPECT_EQ(instance->MaskFilter(), 1);
}

TEST_F(FilterValues, BrightnessOutOfRangeKeepsTheStoredValue) {
  auto instance = Make();
  ASSERT_EQ(instance->SetFilterValue(1, 17), 1);
  EXPECT_EQ(instance->SetFilterValue(1, 256), 0);
  EXPECT_EQ(instance->Image().brightness, 17);
  EXPECT_THAT(Errors(*instance), ElementsAre(9));
}

TEST_F(FilterValues, BayerGainRgbPacksThreeBytes) {
  auto instance = Make();
  ASSERT_EQ(instance->SetFilterValue(6, 17 | 34 << 8 | 51 << 16), 1);
  EXPECT_EQ(instance->Image().bayerGainRed, 17);
  EXPECT_EQ(instance->Image().bayerGainGreen, 34);
  EXPECT_EQ(instance->Image().bayerGainBlue, 51);
  EXPECT_EQ(instance->GetFilterValue(6, nullptr), 17 | 34 << 8 | 51 << 16);
  ASSERT_EQ(instance->SetFilterValue(6, static_cast<int>(0xFF010203u)), 1);
  EXPECT_EQ(instance->GetFilterValue(6, nullptr), 0x010203);
  ASSERT_EQ(instance->SetFilterValue(7, 300), 1);  // the packed form masks to a byte
  EXPECT_EQ(instance->GetFilterValue(6, nullptr), 0x01022C);
}

TEST_F(FilterValues, BayerGainAutoIsAFlag) {
  auto instance = Make();
  ASSERT_EQ(instance->SetFilterValue(10, -7), 1);
  EXPECT_EQ(instance->GetFilterValue(10, nullptr), 1);
  ASSERT_EQ(instance->SetFilterValue(10, 0), 1);
  EXPECT_EQ(instance->GetFilterValue(10, nullptr), 0);
}

TEST_F(FilterValues, UnknownAndUnreadableIdsAreError9) {
  auto instance = Make();
  for (int id : {0, 29, 32, 33, 36, 37, 99, 107, -1}) {
    SCOPED_TRACE(id);
    int ok = -1;
    EXPECT_EQ(instance->SetFilterValue(id, 0), 0);
    EXPECT_EQ(instance->GetFilterValue(id, &ok), 0);
    EXPECT_EQ(ok, 0);
    EXPECT_THAT(Errors(*instance), ElementsAre(9, 9));
  }
  int ok = -1;
  EXPECT_EQ(instance->SetFilterValue(28, 1), 1);
  EXPECT_EQ(instance->GetFilterValue(28, &ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(instance->SetFilterValue(TEVRIN_FILTER_TEMPERATURE, 20), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 9));
}

TEST_F(FilterValues, WithoutDeviceEveryIdIsError1) {
  auto instance = MakeWithoutDevice();
  int ok = -1;
  EXPECT_EQ(instance->SetFilterValue(1, 0), 0);
  EXPECT_EQ(instance->GetFilterValue(1, &ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(instance->SetFilterValue(999, 0), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(1, 1, 1));
}

TEST_F(FilterValues, GlobalGainSetsTheColourGainsToo) {
  auto instance = Make();
  device->globalGainMin = 10;
  device->globalGainMax = 100;
  EXPECT_EQ(instance->SetFilterValue(13, 9), 0);
  EXPECT_EQ(instance->SetFilterValue(13, 101), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 9));
  ASSERT_EQ(instance->SetFilterValue(13, 64), 1);
  EXPECT_EQ(device->globalGain, 64);
  const AnalogSettings& analog = instance->Analog();
  EXPECT_EQ(analog.globalGain, 64);
  EXPECT_EQ(analog.gainRed, 64);
  EXPECT_EQ(analog.gainGreen1, 64);
  EXPECT_EQ(analog.gainGreen2, 64);
  EXPECT_EQ(analog.gainBlue, 64);
  device->globalGain = 70;  // the camera's own value is what a read returns
  int ok = 0;
  EXPECT_EQ(instance->GetFilterValue(13, &ok), 70);
  EXPECT_EQ(ok, 1);
}

TEST_F(FilterValues, ColourGainsReachTheirChannels) {
  using Channel = CFakeCameraDevice::ColorChannel;
  auto instance = Make();
  device->colorGainMax = 200;
  const std::pair<int, Channel> ids[] = {
      {14, Channel::Red}, {15, Channel::Green1}, {16, Channel::Green2}, {17, Channel::Blue}};
  int value = 11;
  for (const auto& [id, channel] : ids) {
    SCOPED_TRACE(id);
    ASSERT_EQ(instance->SetFilterValue(id, value), 1);
    EXPECT_EQ(device->colorGains[channel], value);
    EXPECT_EQ(instance->GetFilterValue(id, nullptr), value);
    EXPECT_EQ(instance->SetFilterValue(id, 201), 0);
    EXPECT_EQ(device->colorGains[channel], value);
    ++value;
  }
  EXPECT_EQ(instance->Analog().gainRed, 11);
  EXPECT_EQ(instance->Analog().gainBlue, 14);
}

TEST_F(FilterValues, RefusedDeviceSetKeepsTheStoredValue) {
  auto instance = Make();
  ASSERT_EQ(instance->SetFilterValue(13, 20), 1);
  device->setterResult = 0;
  EXPECT_EQ(instance->SetFilterValue(13, 30), 0);
  EXPECT_EQ(instance->Analog().globalGain, 20);
  EXPECT_THAT(Errors(*instance), ElementsAre(6));
}

TEST_F(FilterValues, ExposureRefreshesTheFractionalCopy) {
  auto instance = Make();
  device->exposureMin = 5;
  device->exposureMax = 500;
  EXPECT_EQ(instance->SetFilterValue(18, 4), 0);
  EXPECT_EQ(instance->SetFilterValue(18, 501), 0);
  device->exposureSeconds = 0.0321;
  ASSERT_EQ(instance->SetFilterValue(18, 321), 1);
  EXPECT_EQ(device->exposure, 321);
  EXPECT_EQ(instance->Analog().exposure, 321);
  EXPECT_EQ(instance->Analog().exposureSeconds, 0.0321);
  EXPECT_EQ(instance->GetFilterValue(18, nullptr), 321);
}

TEST_F(FilterValues, PeltierNeedsACooler) {
  auto instance = Make();
  int ok = -1;
  EXPECT_EQ(instance->SetFilterValue(100, 1), 0);
  EXPECT_EQ(instance->GetFilterValue(100, &ok), -1);
  EXPECT_EQ(ok, 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(11, 11));
  device->hasCooler = 1;
  ASSERT_EQ(instance->SetFilterValue(100, 1), 1);
  EXPECT_EQ(device->cooler, 1);
  EXPECT_EQ(instance->GetFilterValue(100, &ok), 1);
  EXPECT_EQ(ok, 1);
}

TEST_F(FilterValues, TemperatureIdIsNeverReadable) {
  auto instance = Make();
  device->hasTemperature = 1;
  int ok = -1;
  EXPECT_EQ(instance->GetFilterValue(101, &ok), -1);
  EXPECT_EQ(ok, 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(11));
}

TEST_F(FilterValues, ModeSwitchPassesTheDeviceResult) {
  auto instance = Make();
  ASSERT_EQ(instance->SetFilterValue(104, 3), 1);
  EXPECT_EQ(device->modeSwitch, 3);
  EXPECT_EQ(instance->Analog().modeSwitch, 3);
  EXPECT_EQ(instance->GetFilterValue(104, nullptr), 3);
  device->setterResult = 0;
  EXPECT_EQ(instance->SetFilterValue(104, 4), 0);
  device->modeSwitch = -1;
  int ok = -1;
  EXPECT_EQ(instance->GetFilterValue(104, &ok), -1);
  EXPECT_EQ(ok, 0);
}

TEST_F(FilterValues, RegisterPresetRecordsSuccessAsCodeZero) {
  auto instance = Make();
  EXPECT_EQ(instance->SetFilterValue(105, 1), 0);
  EXPECT_EQ(instance->GetFilterValue(105, nullptr), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(11, 11));
  device->hasRegisterPreset = 1;
  ASSERT_EQ(instance->SetFilterValue(105, 7), 1);
  EXPECT_EQ(device->registerPreset, 1);
  int ok = 0;
  EXPECT_EQ(instance->GetFilterValue(105, &ok), 1);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(instance->PopError(), 0);
  device->setterResult = 0;
  EXPECT_EQ(instance->SetFilterValue(105, 0), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(TEVRIN_ERROR_REGISTER));
}

TEST_F(FilterValues, BlackLevelIsStoredAndPostsCodeZero) {
  auto instance = Make();
  EXPECT_EQ(instance->SetFilterValue(106, 64), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(11));
  device->hasBlackLevel = 1;
  TakePostedMessages();
  ASSERT_EQ(instance->SetFilterValue(106, 64), 1);
  EXPECT_EQ(instance->Analog().blackLevel, 64);
  device->blackLevel = 80;
  EXPECT_EQ(instance->GetFilterValue(106, nullptr), 80);
  EXPECT_EQ(instance->Analog().blackLevel, 80);
  EXPECT_THAT(PostedErrors(), ElementsAre(0, 0));
  EXPECT_EQ(instance->PopError(), 0);
  device->setterResult = 0;
  EXPECT_EQ(instance->SetFilterValue(106, 90), 0);
  EXPECT_EQ(instance->Analog().blackLevel, 80);
  EXPECT_EQ(instance->PopError(), 6);
}

}  // namespace
