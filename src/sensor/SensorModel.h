// What one driver of the sensor family is, as data: its sensor area and
// default window, pixel clock, preset model code, how it tells that the
// camera is ready, how it reaches its sensor's registers, and the operation
// groups it implements beyond the base. Drivers that differ only in these
// values are one class parameterised by their model.
#pragma once

#include <cstdint>

// The driver class a model is built with.
enum class DriverClass : uint8_t {
  kFamilyMember,  // CSensorFamilyMember: the table's values and nothing more
  kImx990,
  kImx991,
  kImx992,
  kImx993,
  kMT9F001,
  kMT9F002,
  kKaiQuadLarge,
};

// When IsReady answers 1.
enum class SensorReadiness : uint8_t {
  kAlways,
  kChipAnswers,     // sensor register 0 reads nonzero
  kChipIdentifies,  // sensor register 0 reads the chip's identity (0x2C01)
  kBoardReports,    // board register 0xFF reads 4; the device recovers and asks again
  kBusAnswers,      // one byte from I2C address 0x5F with its low four bits clear, 20 tries in 5 s
  kReadyFlag,       // the controller's ready flag, once a second for 60 s
  kSensorStarted,   // board register 0x13 >= 9 or 0x21 == 3, else waits and restarts
};

// How WriteRegisterRaw/ReadRegisterRaw reach the sensor.
enum class RegisterForm : uint8_t {
  kNone,  // board registers only
  kByte,  // I2C [address high, address low, value]: 8-bit values (Sony CMOS)
  kWord,  // I2C [address high, address low, value high, value low]: 16-bit values
  kWide,  // the controller's wide registers (CCDs)
};

// The operation groups of the interface a driver implements beyond the base.
namespace group {
inline constexpr uint32_t kTriggerMode = 1u << 0;
inline constexpr uint32_t kBitDepth = 1u << 1;
inline constexpr uint32_t kGlobalGain = 1u << 2;
inline constexpr uint32_t kColorGains = 1u << 3;
inline constexpr uint32_t kChannelGainOffset = 1u << 4;
inline constexpr uint32_t kBlackLevel = 1u << 5;
inline constexpr uint32_t kSensorOption = 1u << 6;
inline constexpr uint32_t kGainLevel = 1u << 7;
inline constexpr uint32_t kMirrorV = 1u << 8;
inline constexpr uint32_t kMirrorH = 1u << 9;
inline constexpr uint32_t kBusGuardedRegisters = 1u << 10;
inline constexpr uint32_t kCooler = 1u << 11;
inline constexpr uint32_t kTemperature = 1u << 12;
inline constexpr uint32_t kStreamHelper = 1u << 13;
inline constexpr uint32_t kTextChannel = 1u << 14;
inline constexpr uint32_t kExtendedMode = 1u << 15;
inline constexpr uint32_t kTemperatureControl = 1u << 16;
inline constexpr uint32_t kExposureSeconds = 1u << 17;
inline constexpr uint32_t kRegisterPreset = 1u << 18;
inline constexpr uint32_t kModeSwitch = 1u << 19;
inline constexpr uint32_t kStatusBlock = 1u << 20;
}  // namespace group

struct SensorWindowRect {
  int x = 0;
  int y = 0;
  int width = 0;  // 0: the whole area
  int height = 0;
};

struct SensorModel {
  const char* name;  // the driver's class name
  DriverClass driver = DriverClass::kFamilyMember;
  int maxWidth = 0;
  int maxHeight = 0;
  int pixelClockKHz = 0;
  uint32_t groups = 0;
  SensorWindowRect defaultWindow{};
  int initialWindowWidth = 0;  // 0: the default window's
  int presetCode = 0;          // the model code the constructor sets
  SensorReadiness readiness = SensorReadiness::kAlways;
  RegisterForm registers = RegisterForm::kNone;
  bool windowOperations = true;  // all but the video converter have the window and exposure operations
  bool anyWindow = false;        // accepts every window within the area (the CCDs)
  bool mirrorsInSensor = false;  // the sensor flips itself; the image pipeline must not
  int bitsPerPixel = 0;          // preset sample depth, 0 when the model sets none
};

// How the device object chooses and sets up the driver of one product ID.
struct SensorChoice {
  const SensorModel* model = nullptr;  // null: the product has no driver
  uint8_t address = 0;                 // the sensor's I2C address, 0 when not addressed by I2C
  int modelCode = -1;                  // announced with SetModelCode; -1: not called
  // When set, the chip's identification register decides: `identified`
  // when it reads `identity`, else `model`; unreadable, no driver.
  const SensorModel* identified = nullptr;
  uint16_t identity = 0;
};
