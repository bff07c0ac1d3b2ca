// Each settings group through the registry: defaults, round trips and bad stored values.
#include <cmath>
#include <limits>

#include "settings/SettingsKey.h"
#include "settings/StoredSettings.h"
#include "support/RegistryFixture.h"

namespace {

using StoredSettings = RegistryTest;

AnalogLimits SensorLimits() {
  AnalogLimits l;
  l.globalGainDefault = 20, l.globalGainMin = 0, l.globalGainMax = 480;
  l.colorGainDefault = 64, l.colorGainMin = 0, l.colorGainMax = 255;
  l.exposureDefault = 100, l.exposureMin = 1, l.exposureMax = 100000;
  l.mirrorVDefault = 1, l.mirrorHDefault = 0, l.blackLevelDefault = 16;
  l.hasExposureSeconds = true;
  l.exposureSecondsDefault = 0.01, l.exposureSecondsMin = 0.0001, l.exposureSecondsMax = 10.0;
  return l;
}

AnalogSettings SensorDefaults() {
  return {20, 64, 64, 64, 64, 100, 1, 0, 0, 16, 0, 0, 0, 0.01};
}

TEST_F(StoredSettings, AFreshMachineGetsTheFirstCamerasDefaults) {
  struct Case {
    OutputCapabilities caps;
    int color;
  };
  const Case cases[] = {{{true, true, true}, 2},
                        {{true, true, false}, 1},
                        {{true, false, false}, 0},
                        {{false, false, false}, 2},
                        {{false, true, true}, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.color);
    SetUp();
    Geometry geometry{.TH = 1, .TV = 2, .EH = 3, .EV = 4, .EHS = 5, .EVS = 6, .Buf = 7};
    const Geometry before = geometry;
    EXPECT_EQ(LoadGeometry(0, c.caps, &geometry), 0);
    EXPECT_EQ(geometry, before);
    const std::string size = Path(0, "Size_00");
    EXPECT_EQ(Dword(size, "TH"), 640);
    EXPECT_EQ(Dword(size, "TV"), 512);
    EXPECT_EQ(Dword(size, "EH"), 640);
    EXPECT_EQ(Dword(size, "EV"), 512);
    EXPECT_EQ(Dword(size, "EHS"), 0);
    EXPECT_EQ(Dword(size, "EVS"), 0);
    EXPECT_EQ(Dword(size, "Buf"), 4);
    EXPECT_EQ(Dword(Path(0, ""), "Size"), 0);
    EXPECT_EQ(Dword(Path(0, ""), "Color"), c.color);
    EXPECT_EQ(Dword(Path(0, ""), "SubSample"), 0);
    EXPECT_EQ(Dword(Path(0, ""), "WaitTime"), 1);
    EXPECT_EQ(Dword(Path(0, ""), "Clock"), 0);
    // The second start finds them.
    EXPECT_EQ(LoadGeometry(0, c.caps, &geometry), 1);
    EXPECT_EQ(geometry, Geometry{});
  }
}

TEST_F(StoredSettings, AnotherCamerasLoadCreatesNothing) {
  Geometry geometry;
  LoadGeometry(0, {}, &geometry);
  FormatSettings format{.colorMode = 4, .subSample = 1, .waitTime = 9, .clock = 3};
  EXPECT_EQ(LoadGeometry(3, {}, &geometry), 0);
  EXPECT_EQ(LoadFormat(3, {}, &format), 0);
  EXPECT_EQ(format.colorMode, 4);
  EXPECT_EQ(format.waitTime, 9);
  EXPECT_FALSE(KeyExists(Path(3, "")));
}

TEST_F(StoredSettings, MissingGroupsLoadTheirDefaults) {
  AnalogSettings analog{1, 2, 3, 4, 5, 6, 0, 1, 2, 7, 1, 1, 8, 3.5};
  ImageSettings image;
  image.brightness = image.gamma = image.grayOffsetR = image.grayGainB = image.bayerGainAuto = 5;
  image.bayerAutoWorking[0] = image.bayerAutoWorking[1] = 6;
  EXPECT_EQ(LoadAnalog(0, SensorLimits(), &analog), 0);
  EXPECT_EQ(LoadFilter(0, &image), 0);
  EXPECT_EQ(LoadGray(0, &image), 0);
  const AnalogSettings expected = SensorDefaults();
  EXPECT_EQ(analog.globalGain, expected.globalGain);
  EXPECT_EQ(analog.gainBlue, expected.gainBlue);
  EXPECT_EQ(analog.exposure, expected.exposure);
  EXPECT_EQ(analog.mirrorV, 1);
  EXPECT_EQ(analog.autoIris, 0);
  EXPECT_EQ(analog.modeSwitch, 0);
  EXPECT_EQ(analog.blackLevel, 16);
  EXPECT_EQ(analog.exposureSeconds, 0.01);
  EXPECT_EQ(image.brightness, 0);
  EXPECT_EQ(image.gamma, 100);
  EXPECT_EQ(image.bayerGainRed, 100);
  EXPECT_EQ(image.bayerMode, 3);
  EXPECT_EQ(image.bayerGainAuto, 0);
  EXPECT_EQ(image.bayerAutoWorking[0], 0);
  EXPECT_EQ(image.bayerAutoWorking[1], 0);
  EXPECT_EQ(image.grayGainB, 128);
  // A zero offset keeps gray mode 1 neutral: gain 128 and offset 0 leave a pixel unchanged.
  EXPECT_EQ(image.grayOffsetR, kGrayOffsetDefault);
  EXPECT_EQ(kGrayOffsetDefault, 0);

  AnalogLimits noSeconds = SensorLimits();
  noSeconds.hasExposureSeconds = false;
  LoadAnalog(0, noSeconds, &analog);
  EXPECT_EQ(analog.exposureSeconds, 0.0);
}

TEST_F(StoredSettings, EveryGroupRoundTrips) {
  const AnalogSettings analog{300, 10, 20, 30, 40, 5000, 1, 1, 2, 99, 0, 0, 3, 1.25};
  ASSERT_EQ(SaveAnalog(2, analog), 1);
  ImageSettings image;
  image = {-200, 100, -360, 255, 30, 0, 400, 250, 200, 1, 2, 1, 2, 3, 4, -255, 255, -1, 1};
  ASSERT_EQ(SaveFilter(2, image), 1);
  ASSERT_EQ(SaveGray(2, image), 1);
  SizeTable table;
  table.entries = {Geometry{}, Geometry{.EH = 320, .EV = 256, .EHS = 160, .EVS = 128, .Buf = 8}};
  table.selected = 1;
  table.format = {.colorMode = 5, .subSample = 1, .waitTime = 250, .clock = -7};
  ASSERT_EQ(SaveSizeTable(2, table), 1);

  AnalogSettings analogBack;
  ImageSettings imageBack;
  SizeTable tableBack;
  Geometry geometry;
  FormatSettings format;
  EXPECT_EQ(LoadAnalog(2, SensorLimits(), &analogBack), 1);
  EXPECT_EQ(LoadFilter(2, &imageBack), 1);
  EXPECT_EQ(LoadGray(2, &imageBack), 1);
  EXPECT_EQ(LoadSizeTable(2, {}, &tableBack), 1);
  EXPECT_EQ(LoadGeometry(2, {}, &geometry), 1);
  EXPECT_EQ(LoadFormat(2, {}, &format), 1);

  const int* a = &analog.globalGain;
  const int* b = &analogBack.globalGain;
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12}) EXPECT_EQ(b[i], a[i]) << "analog value " << i;
  EXPECT_EQ(analogBack.exposureSeconds, 1.25);
  const int* s = &image.brightness;
  const int* t = &imageBack.brightness;
  for (int i = 0; i < 19; ++i) EXPECT_EQ(t[i], s[i]) << "image value " << i;
  EXPECT_EQ(tableBack.entries, table.entries);
  EXPECT_EQ(tableBack.selected, 1);
  EXPECT_EQ(geometry, table.entries[1]);
  EXPECT_EQ(format.colorMode, 5);
  EXPECT_EQ(format.subSample, 1);
  EXPECT_EQ(format.waitTime, 250);
  EXPECT_EQ(format.clock, -7);
  EXPECT_EQ(tableBack.format.clock, -7);
}

TEST_F(StoredSettings, ExposureSecondsIsAnEightByteBinary) {
  ASSERT_EQ(SaveAnalog(0, AnalogSettings{.exposureSeconds = 0.5}), 1);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Path(0, "Gain").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  double seconds = 0;
  DWORD type = 0;
  DWORD size = sizeof seconds;
  EXPECT_EQ(RegQueryValueExA(key, "ExposureEx", nullptr, &type, reinterpret_cast<BYTE*>(&seconds), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(seconds, 0.5);
}

// Bad stored values load as their defaults; the next save writes good ones.
TEST_F(StoredSettings, BadAnalogValuesLoadAsTheSensorsDefaults) {
  ASSERT_EQ(SaveAnalog(0, AnalogSettings{.globalGain = 50, .exposureSeconds = 2.0}), 1);
  const std::string gain = Path(0, "Gain");
  PutDword(gain, "Global", 481);
  PutDword(gain, "ColorR", -1);
  PutRaw(gain, "ColorB", REG_SZ, "12", 3);
  const WORD shortValue = 7;
  PutRaw(gain, "ColorG2", REG_BINARY, &shortValue, sizeof shortValue);
  PutDword(gain, "V_Mirror", 2);
  PutDword(gain, "AutoIris", 3);
  PutDword(gain, "BlackLevel", -4);
  DeleteValue(gain, "ColorG1");  // a value missing from an existing key
  const DWORD notADouble = 1;
  PutRaw(gain, "ExposureEx", REG_DWORD, &notADouble, sizeof notADouble);

  AnalogSettings analog{.globalGain = 1, .gainGreen1 = 1, .exposureSeconds = 9.0};
  ASSERT_EQ(LoadAnalog(0, SensorLimits(), &analog), 1);
  EXPECT_EQ(analog.globalGain, 20);
  EXPECT_EQ(analog.gainGreen1, 64);
  EXPECT_EQ(analog.gainRed, 64);
  EXPECT_EQ(analog.gainBlue, 64);
  EXPECT_EQ(analog.gainGreen2, 64);
  EXPECT_EQ(analog.mirrorV, 1);
  EXPECT_EQ(analog.autoIris, 0);
  EXPECT_EQ(analog.blackLevel, 16);
  EXPECT_EQ(analog.exposureSeconds, 0.01);

  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -1.0, 11.0}) {
    PutRaw(gain, "ExposureEx", REG_BINARY, &bad, sizeof bad);
    analog.exposureSeconds = 3.0;
    LoadAnalog(0, SensorLimits(), &analog);
    EXPECT_EQ(analog.exposureSeconds, 0.01) << bad;
  }
  const BYTE tooLong[9] = {};
  PutRaw(gain, "ExposureEx", REG_BINARY, tooLong, sizeof tooLong);
  LoadAnalog(0, SensorLimits(), &analog);
  EXPECT_EQ(analog.exposureSeconds, 0.01);

  ASSERT_EQ(SaveAnalog(0, analog), 1);
  EXPECT_EQ(Dword(gain, "ColorB"), 64);
  EXPECT_EQ(Dword(gain, "ColorG2"), 64);
  EXPECT_EQ(Dword(gain, "ColorG1"), 64);
}

TEST_F(StoredSettings, BadFilterAndGrayValuesLoadAsTheirDefaults) {
  ImageSettings image;
  image.bayerMode = 2;
  image.grayGainR = 100;
  ASSERT_EQ(SaveFilter(0, image), 1);
  ASSERT_EQ(SaveGray(0, image), 1);
  PutDword(Path(0, "Filter"), "BayerMode", 9);
  PutDword(Path(0, "Filter"), "Sharpness", 31);
  PutDword(Path(0, "Filter"), "Contrast", -128);
  PutRaw(Path(0, "Filter"), "Gamma", REG_SZ, "1", 2);
  PutDword(Path(0, "Gray"), "Mode", 3);
  PutDword(Path(0, "Gray"), "GainR1", 256);
  PutDword(Path(0, "Gray"), "OffsetB1", -256);
  DeleteValue(Path(0, "Gray"), "GainG1");

  ImageSettings loaded;
  loaded.gamma = 55;
  loaded.grayGainG1 = 77;
  ASSERT_EQ(LoadFilter(0, &loaded), 1);
  ASSERT_EQ(LoadGray(0, &loaded), 1);
  EXPECT_EQ(loaded.bayerMode, 3);
  EXPECT_EQ(loaded.sharpness, 0);
  EXPECT_EQ(loaded.contrast, 0);
  EXPECT_EQ(loaded.gamma, 55);  // mistyped: left as it was, like a missing value
  EXPECT_EQ(loaded.grayMode, 0);
  EXPECT_EQ(loaded.grayGainR, 128);
  EXPECT_EQ(loaded.grayOffsetB, 0);
  EXPECT_EQ(loaded.grayGainG1, 77);

  ASSERT_EQ(SaveFilter(0, loaded), 1);
  ASSERT_EQ(SaveGray(0, loaded), 1);
  EXPECT_EQ(Dword(Path(0, "Filter"), "BayerMode"), 3);
  EXPECT_EQ(Dword(Path(0, "Filter"), "Gamma"), 55);
  EXPECT_EQ(Dword(Path(0, "Gray"), "GainR1"), 128);
}

TEST_F(StoredSettings, BadFormatAndGeometryLoadAsTheirDefaults) {
  Geometry geometry;
  LoadGeometry(0, {}, &geometry);
  const std::string camera = Path(0, "");
  PutDword(camera, "Color", 9);
  PutDword(camera, "WaitTime", -5);
  PutDword(camera, "SubSample", 2);
  FormatSettings format{.colorMode = 4, .subSample = 1, .waitTime = 30};
  ASSERT_EQ(LoadFormat(0, {true, true, false}, &format), 1);
  EXPECT_EQ(format.colorMode, 1);  // the gray sensor's own default
  EXPECT_EQ(format.waitTime, 1);
  EXPECT_EQ(format.subSample, 0);

  struct Case {
    const char* name;
    int value;
  };
  for (const Case& c : {Case{"EH", 641}, Case{"EVS", -1}, Case{"EHS", 1}, Case{"Buf", 0}}) {
    SCOPED_TRACE(c.name);
    PutDword(Path(0, "Size_00"), c.name, c.value);
    geometry = Geometry{.EH = 10};
    EXPECT_EQ(LoadGeometry(0, {}, &geometry), 1);
    EXPECT_EQ(geometry, Geometry{});
    SizeTable table;
    LoadSizeTable(0, {}, &table);
    EXPECT_EQ(table.entries, std::vector<Geometry>{Geometry{}});
    SaveSizeTable(0, table);  // repairs the entry
  }
  PutDword(camera, "Size", 150);
  geometry = Geometry{.EH = 10};
  EXPECT_EQ(LoadGeometry(0, {}, &geometry), 1);
  EXPECT_EQ(geometry, Geometry{});
}

TEST_F(StoredSettings, ColorModeFollowsWhatTheSensorDelivers) {
  struct Case {
    int stored;
    OutputCapabilities caps;
    int loaded;
  };
  const Case cases[] = {
      {3, {false, true, true}, 1},   {0, {false, true, true}, 1},   {0, {false, false, true}, 2},
      {2, {true, true, false}, 1},   {2, {true, false, false}, 0},  {1, {true, false, true}, 2},
      {1, {true, false, false}, 0},  {3, {false, false, false}, 0}, {5, {true, true, true}, 5},
      {4, {false, false, false}, 4},
  };
  Geometry geometry;
  LoadGeometry(0, {}, &geometry);
  for (const Case& c : cases) {
    PutDword(Path(0, ""), "Color", c.stored);
    FormatSettings format;
    ASSERT_EQ(LoadFormat(0, c.caps, &format), 1);
    EXPECT_EQ(format.colorMode, c.loaded) << c.stored << " " << c.caps.gray8 << c.caps.gray16 << c.caps.color;
  }
}

TEST_F(StoredSettings, GrayIsSavedOnlyBelowAnExistingCameraKey) {
  ImageSettings image;
  image.grayMode = 1;
  EXPECT_EQ(SaveGray(4, image), 0);
  EXPECT_FALSE(KeyExists(Path(4, "")));
  // The save sequence writes "Gain" first, which creates the camera's key.
  ASSERT_EQ(SaveAnalog(4, AnalogSettings{}), 1);
  ASSERT_EQ(SaveFilter(4, image), 1);
  ASSERT_EQ(SaveGray(4, image), 1);
  EXPECT_EQ(Dword(Path(4, "Gray"), "Mode"), 1);
}

TEST_F(StoredSettings, SizeTableEndsAtTheFirstMissingEntry) {
  SizeTable table;
  for (int n = 0; n <= 10; ++n) table.entries.push_back(Geometry{.EH = 600 - n, .Buf = n + 1});
  ASSERT_EQ(SaveSizeTable(0, table), 1);
  ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Path(0, "Size_05").c_str()), ERROR_SUCCESS);
  SizeTable loaded;
  ASSERT_EQ(LoadSizeTable(0, {}, &loaded), 1);
  ASSERT_EQ(loaded.entries.size(), 5u);
  EXPECT_EQ(loaded.entries[4].EH, 596);

  // A shorter table saved later loads back as short as it was saved.
  table.entries.resize(2);
  ASSERT_EQ(SaveSizeTable(0, table), 1);
  ASSERT_EQ(LoadSizeTable(0, {}, &loaded), 1);
  EXPECT_EQ(loaded.entries.size(), 2u);
  EXPECT_EQ(LoadSizeTable(1, {}, &loaded), 0);
}

}  // namespace
