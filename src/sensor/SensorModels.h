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

// Colour CMOS.
inline constexpr SensorModel kMT9F001{.name = "CSensorMT9F001",
                                      .driver = DriverClass::kMT9F001,
                                      .maxWidth = 4608,
                                      .maxHeight = 3288,
                                      .pixelClockKHz = 96000,
                                      .groups = kColorGroups,
                                      .readiness = SensorReadiness::kChipAnswers,
                                      .registers = RegisterForm::kWord,
                                      .bitsPerPixel = 12};
inline constexpr SensorModel kMT9F002{.name = "CSensorMT9F002",
                                      .driver = DriverClass::kMT9F002,
                                      .maxWidth = 4608,
                                      .maxHeight = 3288,
                                      .pixelClockKHz = 96000,
                                      .groups = kColorGroups,
                                      .readiness = SensorReadiness::kChipAnswers,
                                      .registers = RegisterForm::kWord,
                                      .bitsPerPixel = 12};
inline constexpr SensorModel kMT9P001{.name = "CSensorMT9P001",
                                      .maxWidth = 2592,
                                      .maxHeight = 1944,
                                      .pixelClockKHz = 96000,
                                      .groups = kColorGroups | g::kTriggerMode,
                                      .readiness = SensorReadiness::kChipAnswers,
                                      .registers = RegisterForm::kWord,
                                      .bitsPerPixel = 12};
inline constexpr SensorModel kMT9J001{.name = "CSensorMT9J001",
                                      .maxWidth = 3856,
                                      .maxHeight = 2764,
                                      .pixelClockKHz = 80000,
                                      .groups = kColorGroups,
                                      .defaultWindow = {8, 8, 3840, 2752},
                                      .readiness = SensorReadiness::kChipIdentifies,
                                      .registers = RegisterForm::kWord,
                                      .bitsPerPixel = 12};

// CCDs.
inline constexpr SensorModel kICX274{.name = "CSensorICX274",
                                     .maxWidth = 1600,
                                     .maxHeight = 1200,
                                     .pixelClockKHz = 60000,
                                     .groups = kSonyStillGroups,
                                     .registers = RegisterForm::kWide,
                                     .anyWindow = true};
inline constexpr SensorModel kKaiQuadSmall{.name = "CSensorKaiQuadSmall",
                                           .maxWidth = 2336,
                                           .maxHeight = 1752,
                                           .pixelClockKHz = 60000,
                                           .groups = kKaiGroups,
                                           .registers = RegisterForm::kWide,
                                           .anyWindow = true};
inline constexpr SensorModel kKaiQuadMedium{.name = "CSensorKaiQuadMedium",
                                            .maxWidth = 4896,
                                            .maxHeight = 3264,
                                            .pixelClockKHz = 40000,
                                            .groups = kKaiGroups,
                                            .registers = RegisterForm::kWide,
                                            .anyWindow = true};
inline constexpr SensorModel kKaiQuadLarge{.name = "CSensorKaiQuadLarge",
                                           .driver = DriverClass::kKaiQuadLarge,
                                           .maxWidth = 6576,
                                           .maxHeight = 4384,
                                           .pixelClockKHz = 40000,
                                           .groups = kKaiGroups,
                                           .registers = RegisterForm::kWide,
                                           .anyWindow = true};

// Sony CMOS.
inline constexpr SensorModel kIMX178{.name = "CSensorIMX178",
                                     .maxWidth = 3072,
                                     .maxHeight = 2048,
                                     .pixelClockKHz = 364000,
                                     .groups = kSonyStillGroups,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX174{.name = "CSensorIMX174",
                                     .maxWidth = 1920,
                                     .maxHeight = 1200,
                                     .pixelClockKHz = 74250,
                                     .groups = kSonyGuardedGroups | g::kExposureSeconds,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX183{.name = "CSensorIMX183",
                                     .maxWidth = 5520,
                                     .maxHeight = 3680,
                                     .pixelClockKHz = 72000,
                                     .groups = kSonyStillGroups,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX159{.name = "CSensorIMX159",
                                     .maxWidth = 4800,
                                     .maxHeight = 3520,
                                     .pixelClockKHz = 36000,
                                     .groups = g::kTriggerMode | g::kGlobalGain | g::kMirrorH,
                                     .defaultWindow = {72, 18, 4672, 3504},
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX250{.name = "CSensorIMX250",
                                     .maxWidth = 2448,
                                     .maxHeight = 2048,
                                     .pixelClockKHz = 54000,
                                     .groups = kSonyGuardedGroups,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX264{.name = "CSensorIMX264",
                                     .maxWidth = 2448,
                                     .maxHeight = 2048,
                                     .pixelClockKHz = 74250,
                                     .groups = kSonyGuardedGroups,
                                     .presetCode = 57,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX252{.name = "CSensorIMX252",
                                     .maxWidth = 2048,
                                     .maxHeight = 1536,
                                     .pixelClockKHz = 54545,
                                     .groups = kSonyGuardedGroups,
                                     .presetCode = 56,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX265{.name = "CSensorIMX265",
                                     .maxWidth = 2048,
                                     .maxHeight = 1536,
                                     .pixelClockKHz = 54545,
                                     .groups = kSonyGuardedGroups,
                                     .presetCode = 58,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX226{.name = "CSensorIMX226",
                                     .maxWidth = 4168,
                                     .maxHeight = 3062,
                                     .pixelClockKHz = 72000,
                                     .groups = g::kBitDepth | g::kGlobalGain | kMirrors | g::kBusGuardedRegisters,
                                     .defaultWindow = {0, 0, 4160, 3056},
                                     .presetCode = 60,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX536{.name = "CSensorIMX536",
                                     .maxWidth = 2848,
                                     .maxHeight = 2848,
                                     .pixelClockKHz = 54545,
                                     .groups = kSonyBlackGroups,
                                     .presetCode = 62,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX487{.name = "CSensorIMX487",
                                     .maxWidth = 2848,
                                     .maxHeight = 2848,
                                     .pixelClockKHz = 54545,
                                     .groups = kSonyBlackGroups,
                                     .presetCode = 63,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX273{.name = "CSensorIMX273",
                                     .maxWidth = 1440,
                                     .maxHeight = 1080,
                                     .pixelClockKHz = 54545,
                                     .groups = kSonyBlackGroups,
                                     .presetCode = 128,
                                     .registers = RegisterForm::kByte,
                                     .mirrorsInSensor = true};
inline constexpr SensorModel kIMX675{
    .name = "CSensorIMX675",
    .maxWidth = 2592,
    .maxHeight = 4060,
    .pixelClockKHz = 75000,
    .groups = g::kTriggerMode | g::kBitDepth | g::kGlobalGain | g::kBusGuardedRegisters | g::kExposureSeconds,
    .presetCode = 121,
    .registers = RegisterForm::kByte,
    .mirrorsInSensor = true};
inline constexpr SensorModel kIMX990{.name = "CSensorIMX990", .driver = DriverClass::kImx990, .groups = kImx99xGroups};
inline constexpr SensorModel kIMX991{.name = "CSensorIMX991", .driver = DriverClass::kImx991, .groups = kImx99xGroups};
inline constexpr SensorModel kIMX992{
    .name = "CSensorIMX992", .driver = DriverClass::kImx992, .groups = kImx99xGroups | g::kModeSwitch};
inline constexpr SensorModel kIMX993{.name = "CSensorIMX993",
                                     .driver = DriverClass::kImx993,
                                     .groups = kImx99xGroups | g::kModeSwitch | g::kBlackLevel | g::kSensorOption};

// Camera models and the remaining catalogue chips.
inline constexpr SensorModel kVideoConverter{.name = "CSensorVideoConverter",
                                             .maxWidth = 1920,
                                             .maxHeight = 1080,
                                             .pixelClockKHz = 74250,
                                             .groups = g::kBitDepth,
                                             .windowOperations = false};
inline constexpr SensorModel kSxgaCmos{.name = "CSensorSxgaCmos",
                                       .maxWidth = 1280,
                                       .maxHeight = 1024,
                                       .pixelClockKHz = 37125,
                                       .groups = kArrayGroups | g::kTriggerMode};
inline constexpr SensorModel kNirVga{.name = "CSensorNirVga",
                                     .maxWidth = 640,
                                     .maxHeight = 512,
                                     .pixelClockKHz = 6250,
                                     .groups = kArrayGroups | g::kExposureSeconds};
inline constexpr SensorModel kNirQvga{
    .name = "CSensorNirQvga", .maxWidth = 320, .maxHeight = 256, .pixelClockKHz = 6250, .groups = kArrayGroups};
inline constexpr SensorModel kNirVgaThreaded{.name = "CSensorNirVgaThreaded",
                                             .maxWidth = 640,
                                             .maxHeight = 512,
                                             .pixelClockKHz = 9000,
                                             .groups = g::kTriggerMode | g::kBitDepth | kMirrors |
                                                       g::kBusGuardedRegisters | g::kCooler | g::kTemperature |
                                                       g::kStreamHelper,
                                             .presetCode = 99};
inline constexpr SensorModel kSwirSxga{.name = "CSensorSwirSxga",
                                       .maxWidth = 1280,
                                       .maxHeight = 1024,
                                       .pixelClockKHz = 72000,
                                       .groups = g::kTriggerMode | g::kBitDepth | g::kGlobalGain | g::kTextChannel,
                                       .presetCode = 100,
                                       .readiness = SensorReadiness::kBoardReports};
inline constexpr SensorModel kArraySmall{.name = "CSensorArraySmall",
                                         .maxWidth = 512,
                                         .maxHeight = 512,
                                         .pixelClockKHz = 5000,
                                         .groups = kArrayGroups | g::kTriggerMode};
inline constexpr SensorModel kArrayTiny{
    .name = "CSensorArrayTiny", .maxWidth = 256, .maxHeight = 256, .pixelClockKHz = 5000, .groups = kArrayGroups};
inline constexpr SensorModel kArrayMedium{
    .name = "CSensorArrayMedium", .maxWidth = 1024, .maxHeight = 1024, .pixelClockKHz = 5000, .groups = kArrayGroups};
inline constexpr SensorModel kArrayLarge{
    .name = "CSensorArrayLarge", .maxWidth = 2048, .maxHeight = 2048, .pixelClockKHz = 5000, .groups = kArrayGroups};
inline constexpr SensorModel kUvSquare{.name = "CSensorUvSquare",
                                       .maxWidth = 2048,
                                       .maxHeight = 2048,
                                       .pixelClockKHz = 50000,
                                       .groups = g::kTriggerMode | g::kGlobalGain | kMirrors | g::kTemperature |
                                                 g::kExtendedMode | g::kExposureSeconds | g::kModeSwitch,
                                       .presetCode = 103,
                                       .readiness = SensorReadiness::kBusAnswers};
inline constexpr SensorModel kG1467x{.name = "CSensorG1467x",
                                     .maxWidth = 320,
                                     .maxHeight = 256,
                                     .pixelClockKHz = 6250,
                                     .groups = kArrayGroups | g::kCooler | g::kTemperature | g::kTemperatureControl};
inline constexpr SensorModel kLI7050{.name = "CSensorLI7050",
                                     .maxWidth = 1936,
                                     .maxHeight = 1096,
                                     .pixelClockKHz = 48000,
                                     .groups = kLineScanGroups | g::kTriggerMode | kMirrors | g::kBusGuardedRegisters};
inline constexpr SensorModel kGLUX9701{.name = "CSensorGLUX9701",
                                       .maxWidth = 1280,
                                       .maxHeight = 1024,
                                       .pixelClockKHz = 37037,
                                       .groups = g::kTriggerMode | g::kBitDepth | g::kGlobalGain | g::kBlackLevel |
                                                 kMirrors | g::kBusGuardedRegisters | g::kTemperature |
                                                 g::kExposureSeconds | g::kRegisterPreset | g::kModeSwitch,
                                       .readiness = SensorReadiness::kSensorStarted};
inline constexpr SensorModel kScientificCooled{.name = "CSensorScientificCooled",
                                               .maxWidth = 4096,
                                               .maxHeight = 4096,
                                               .pixelClockKHz = 25000,
                                               .groups = g::kTriggerMode | g::kGlobalGain | g::kBlackLevel |
                                                         g::kGainLevel | kMirrors | g::kTemperature | g::kExtendedMode |
                                                         g::kExposureSeconds | g::kModeSwitch | g::kStatusBlock,
                                               .defaultWindow = {0, 0, 2048, 2048},
                                               .presetCode = 115,
                                               .readiness = SensorReadiness::kReadyFlag};
inline constexpr SensorModel kLI8020{.name = "CSensorLI8020",
                                     .maxWidth = 19568,
                                     .maxHeight = 12588,
                                     .pixelClockKHz = 50000,
                                     .groups = kLineScanGroups,
                                     .initialWindowWidth = 2048};
inline constexpr SensorModel kLI5040{.name = "CSensorLI5040",
                                     .maxWidth = 2592,
                                     .maxHeight = 2056,
                                     .pixelClockKHz = 36000,
                                     .groups = kLineScanGroups | g::kTriggerMode};
inline constexpr SensorModel kLI3030{
    .name = "CSensorLI3030", .maxWidth = 2160, .maxHeight = 1280, .pixelClockKHz = 21000, .groups = kLineScanGroups};
inline constexpr SensorModel kLI5030{.name = "CSensorLI5030",
                                     .maxWidth = 5688,
                                     .maxHeight = 3336,
                                     .pixelClockKHz = 60000,
                                     .groups = kLineScanGroups | g::kTriggerMode};
inline constexpr SensorModel kICE640{.name = "CSensorICE640",
                                     .maxWidth = 640,
                                     .maxHeight = 513,
                                     .pixelClockKHz = 0,
                                     .groups = g::kTriggerMode | g::kBitDepth | kMirrors,
                                     .presetCode = 122};

}  // namespace sensor_model
