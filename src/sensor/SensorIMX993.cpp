#include "sensor/SensorIMX993.h"

#include <tevrin/hardware/Imx991Registers.h>

#include <algorithm>

namespace reg = tevrin::hardware::imx991;

namespace {
constexpr int kBlackLevelMax = 4095;
constexpr int kBlackLevelDefault = 240;
// The sensor option sets two registers together.
constexpr uint16_t kOptionTiming = 0x20;
constexpr uint16_t kOptionEnable = 0x40;
constexpr uint8_t kOptionTimingOn = 80;
constexpr uint8_t kOptionTimingOff = 95;
}  // namespace

CSensorIMX993::CSensorIMX993(CControllerBase* controller, uint8_t deviceAddress)
    : CSensorIMX992(controller, deviceAddress, imx99x::kImx993) {
  info_.blackMax = kBlackLevelMax;
  info_.blackValue = info_.blackDefault = kBlackLevelDefault;
  info_.blackSupported = 1;
  info_.optionSupported = 1;
}

void CSensorIMX993::ProgramInitialBlackLevel() {
  SetBlackLevel(info_.blackValue);
}

int CSensorIMX993::SetBlackLevel(int level) {
  level = std::clamp(level, info_.blackMin, info_.blackMax);
  if (!WriteRegister(reg::kBlackLevel0, level & 0xFF) || !WriteRegister(reg::kBlackLevel1, (level >> 8) & 0x0F))
    return 0;
  info_.blackValue = level;
  return 1;
}

int CSensorIMX993::SetSensorOption(unsigned on) {
  if (!WriteRegister(kOptionTiming, on ? kOptionTimingOn : kOptionTimingOff) ||
      !WriteRegister(kOptionEnable, on ? 1 : 0))
    return 0;
  info_.optionValue = on ? 1 : 0;
  return 1;
}
