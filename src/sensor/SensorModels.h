// The drivers of the sensor family, one model each. The IMX99x drivers keep
// their numbers in Imx99xModel.h; their models here name class and groups.
#pragma once

#include "sensor/SensorModel.h"

namespace sensor_model {

namespace g = group;

inline constexpr uint32_t kMirrors = g::kMirrorV | g::kMirrorH;
inline constexpr uint32_t kArrayGroups = g::kBitDepth | g::kGlobalGain | kMirrors;
inline constexpr uint32_t kSonyStillGroups = g::kTriggerMode | g::kGlobalGain | kMirrors;
inline constexpr uint32_t kSonyGuardedGroups =
    g::kTriggerMode | g::kBitDepth | g::kGlobalGain | kMirrors | g::kBusGuardedRegisters;
inline constexpr uint32_t kSonyBlackGroups =
    g::kBitDepth | g::kGlobalGain | g::kBlackLevel | kMirrors | g::kBusGuardedRegisters | g::kExposureSeconds;
inline constexpr uint32_t kImx99xGroups = kSonyGuardedGroups | g::kCooler | g::kTemperature | g::kExposureSeconds;
inline constexpr uint32_t kKaiGroups =
    g::kTriggerMode | g::kGlobalGain | g::kChannelGainOffset | g::kBlackLevel | kMirrors;
inline constexpr uint32_t kColorGroups = g::kGlobalGain | g::kColorGains | kMirrors;
inline constexpr uint32_t kLineScanGroups = g::kBitDepth | g::kGlobalGain | g::kExposureSeconds;

// A model with its area, clock and groups and nothing else of its own.
constexpr SensorModel Plain(const char* name, int width, int height, int clockKHz, uint32_t groups,
                            int presetCode = 0) {
  return {.name = name,
          .maxWidth = width,
          .maxHeight = height,
          .pixelClockKHz = clockKHz,
          .groups = groups,
          .presetCode = presetCode};
}

// Sony CMOS: 8-bit registers over I2C, and the sensor flips itself.
constexpr SensorModel SonyCmos(const char* name, int width, int height, int clockKHz, uint32_t groups,
                               int presetCode = 0, SensorWindowRect window = {}) {
  SensorModel model = Plain(name, width, height, clockKHz, groups, presetCode);
  model.registers = RegisterForm::kByte;
  model.mirrorsInSensor = true;
  model.defaultWindow = window;
  return model;
}

// CCDs: wide registers, and every window inside the sensor is taken.
constexpr SensorModel Ccd(const char* name, int width, int height, int clockKHz, uint32_t groups,
                          DriverClass driver = DriverClass::kFamilyMember) {
  SensorModel model = Plain(name, width, height, clockKHz, groups);
  model.driver = driver;
  model.registers = RegisterForm::kWide;
  model.anyWindow = true;
  return model;
}

// Colour CMOS: 16-bit registers over I2C, 12-bit samples.
constexpr SensorModel ColorCmos(const char* name, int width, int height, int clockKHz, uint32_t groups,
                                SensorReadiness readiness, DriverClass driver = DriverClass::kFamilyMember,
                                SensorWindowRect window = {}) {
  SensorModel model = Plain(name, width, height, clockKHz, groups);
  model.driver = driver;
  model.readiness = readiness;
  model.registers = RegisterForm::kWord;
  model.bitsPerPixel = 12;
  model.defaultWindow = window;
  return model;
}

// A model whose readiness is a check of its own.
constexpr SensorModel Waiting(SensorModel model, SensorReadiness readiness) {
  model.readiness = readiness;
  return model;
}

constexpr SensorModel WithWindow(SensorModel model, SensorWindowRect window, int initialWidth = 0) {
  model.defaultWindow = window;
  model.initialWindowWidth = initialWidth;
  return model;
}

constexpr SensorModel Imx99x(const char* name, DriverClass driver, uint32_t groups) {
  return {.name = name, .driver = driver, .groups = groups};
}

inline constexpr SensorModel kMT9F001 =
    ColorCmos("CSensorMT9F001", 4608, 3288, 96000, kColorGroups, SensorReadiness::kChipAnswers, DriverClass::kMT9F001);
inline constexpr SensorModel kMT9F002 =
    ColorCmos("CSensorMT9F002", 4608, 3288, 96000, kColorGroups, SensorReadiness::kChipAnswers, DriverClass::kMT9F002);
inline constexpr SensorModel kMT9P001 =
    ColorCmos("CSensorMT9P001", 2592, 1944, 96000, kColorGroups | g::kTriggerMode, SensorReadiness::kChipAnswers);
inline constexpr SensorModel kMT9J001 =
    ColorCmos("CSensorMT9J001", 3856, 2764, 80000, kColorGroups, SensorReadiness::kChipIdentifies,
              DriverClass::kFamilyMember, {8, 8, 3840, 2752});

inline constexpr SensorModel kICX274 = Ccd("CSensorICX274", 1600, 1200, 60000, kSonyStillGroups);
inline constexpr SensorModel kKaiQuadSmall = Ccd("CSensorKaiQuadSmall", 2336, 1752, 60000, kKaiGroups);
inline constexpr SensorModel kKaiQuadMedium = Ccd("CSensorKaiQuadMedium", 4896, 3264, 40000, kKaiGroups);
inline constexpr SensorModel kKaiQuadLarge =
    Ccd("CSensorKaiQuadLarge", 6576, 4384, 40000, kKaiGroups, DriverClass::kKaiQuadLarge);

inline constexpr SensorModel kIMX178 = SonyCmos("CSensorIMX178", 3072, 2048, 364000, kSonyStillGroups);
inline constexpr SensorModel kIMX174 =
    SonyCmos("CSensorIMX174", 1920, 1200, 74250, kSonyGuardedGroups | g::kExposureSeconds);
inline constexpr SensorModel kIMX183 = SonyCmos("CSensorIMX183", 5520, 3680, 72000, kSonyStillGroups);
inline constexpr SensorModel kIMX159 = SonyCmos(
    "CSensorIMX159", 4800, 3520, 36000, g::kTriggerMode | g::kGlobalGain | g::kMirrorH, 0, {72, 18, 4672, 3504});
inline constexpr SensorModel kIMX250 = SonyCmos("CSensorIMX250", 2448, 2048, 54000, kSonyGuardedGroups);
inline constexpr SensorModel kIMX264 = SonyCmos("CSensorIMX264", 2448, 2048, 74250, kSonyGuardedGroups, 57);
inline constexpr SensorModel kIMX252 = SonyCmos("CSensorIMX252", 2048, 1536, 54545, kSonyGuardedGroups, 56);
inline constexpr SensorModel kIMX265 = SonyCmos("CSensorIMX265", 2048, 1536, 54545, kSonyGuardedGroups, 58);
inline constexpr SensorModel kIMX226 =
    SonyCmos("CSensorIMX226", 4168, 3062, 72000, g::kBitDepth | g::kGlobalGain | kMirrors | g::kBusGuardedRegisters, 60,
             {0, 0, 4160, 3056});
inline constexpr SensorModel kIMX536 = SonyCmos("CSensorIMX536", 2848, 2848, 54545, kSonyBlackGroups, 62);
inline constexpr SensorModel kIMX487 = SonyCmos("CSensorIMX487", 2848, 2848, 54545, kSonyBlackGroups, 63);
inline constexpr SensorModel kIMX273 = SonyCmos("CSensorIMX273", 1440, 1080, 54545, kSonyBlackGroups, 128);
inline constexpr SensorModel kIMX675 =
    SonyCmos("CSensorIMX675", 2592, 4060, 75000,
             g::kTriggerMode | g::kBitDepth | g::kGlobalGain | g::kBusGuardedRegisters | g::kExposureSeconds, 121);
inline constexpr SensorModel kIMX990 = Imx99x("CSensorIMX990", DriverClass::kImx990, kImx99xGroups);
inline constexpr SensorModel kIMX991 = Imx99x("CSensorIMX991", DriverClass::kImx991, kImx99xGroups);
inline constexpr SensorModel kIMX992 = Imx99x("CSensorIMX992", DriverClass::kImx992, kImx99xGroups | g::kModeSwitch);
inline constexpr SensorModel kIMX993 =
    Imx99x("CSensorIMX993", DriverClass::kImx993, kImx99xGroups | g::kModeSwitch | g::kBlackLevel | g::kSensorOption);

inline constexpr SensorModel kVideoConverter = [] {
  SensorModel model = Plain("CSensorVideoConverter", 1920, 1080, 74250, g::kBitDepth);
  model.windowOperations = false;
  return model;
}();
inline constexpr SensorModel kSxgaCmos = Plain("CSensorSxgaCmos", 1280, 1024, 37125, kArrayGroups | g::kTriggerMode);
inline constexpr SensorModel kNirVga = Plain("CSensorNirVga", 640, 512, 6250, kArrayGroups | g::kExposureSeconds);
inline constexpr SensorModel kNirQvga = Plain("CSensorNirQvga", 320, 256, 6250, kArrayGroups);
inline constexpr SensorModel kNirVgaThreaded =
    Plain("CSensorNirVgaThreaded", 640, 512, 9000,
          g::kTriggerMode | g::kBitDepth | kMirrors | g::kBusGuardedRegisters | g::kCooler | g::kTemperature |
              g::kStreamHelper,
          99);
inline constexpr SensorModel kSwirSxga = Waiting(
    Plain("CSensorSwirSxga", 1280, 1024, 72000, g::kTriggerMode | g::kBitDepth | g::kGlobalGain | g::kTextChannel, 100),
    SensorReadiness::kBoardReports);
inline constexpr SensorModel kArraySmall = Plain("CSensorArraySmall", 512, 512, 5000, kArrayGroups | g::kTriggerMode);
inline constexpr SensorModel kArrayTiny = Plain("CSensorArrayTiny", 256, 256, 5000, kArrayGroups);
inline constexpr SensorModel kArrayMedium = Plain("CSensorArrayMedium", 1024, 1024, 5000, kArrayGroups);
inline constexpr SensorModel kArrayLarge = Plain("CSensorArrayLarge", 2048, 2048, 5000, kArrayGroups);
inline constexpr SensorModel kUvSquare = Waiting(Plain("CSensorUvSquare", 2048, 2048, 50000,
                                                       g::kTriggerMode | g::kGlobalGain | kMirrors | g::kTemperature |
                                                           g::kExtendedMode | g::kExposureSeconds | g::kModeSwitch,
                                                       103),
                                                 SensorReadiness::kBusAnswers);
inline constexpr SensorModel kG1467x =
    Plain("CSensorG1467x", 320, 256, 6250, kArrayGroups | g::kCooler | g::kTemperature | g::kTemperatureControl);
inline constexpr SensorModel kLI7050 =
    Plain("CSensorLI7050", 1936, 1096, 48000, kLineScanGroups | g::kTriggerMode | kMirrors | g::kBusGuardedRegisters);
inline constexpr SensorModel kGLUX9701 = Waiting(
    Plain("CSensorGLUX9701", 1280, 1024, 37037,
          g::kTriggerMode | g::kBitDepth | g::kGlobalGain | g::kBlackLevel | kMirrors | g::kBusGuardedRegisters |
              g::kTemperature | g::kExposureSeconds | g::kRegisterPreset | g::kModeSwitch),
    SensorReadiness::kSensorStarted);
inline constexpr SensorModel kScientificCooled = Waiting(
    WithWindow(Plain("CSensorScientificCooled", 4096, 4096, 25000,
                     g::kTriggerMode | g::kGlobalGain | g::kBlackLevel | g::kGainLevel | kMirrors | g::kTemperature |
                         g::kExtendedMode | g::kExposureSeconds | g::kModeSwitch | g::kStatusBlock,
                     115),
               {0, 0, 2048, 2048}),
    SensorReadiness::kReadyFlag);
inline constexpr SensorModel kLI8020 =
    WithWindow(Plain("CSensorLI8020", 19568, 12588, 50000, kLineScanGroups), {}, 2048);
inline constexpr SensorModel kLI5040 = Plain("CSensorLI5040", 2592, 2056, 36000, kLineScanGroups | g::kTriggerMode);
inline constexpr SensorModel kLI3030 = Plain("CSensorLI3030", 2160, 1280, 21000, kLineScanGroups);
inline constexpr SensorModel kLI5030 = Plain("CSensorLI5030", 5688, 3336, 60000, kLineScanGroups | g::kTriggerMode);
inline constexpr SensorModel kICE640 =
    Plain("CSensorICE640", 640, 513, 0, g::kTriggerMode | g::kBitDepth | kMirrors, 122);

}  // namespace sensor_model
