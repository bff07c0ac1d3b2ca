#include "sensor/SensorIMX992.h"

#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Imx991Registers.h>

#include <algorithm>

namespace fpga = tevrin::hardware::fpga;
namespace reg = tevrin::hardware::imx991;

namespace {
// Bit 0 of this register switches the sensor's mode off when set.
constexpr uint16_t kModeSwitch = 0x710;
}  // namespace

CSensorIMX992::CSensorIMX992(CControllerBase* controller, uint8_t deviceAddress)
    : CSensorIMX992(controller, deviceAddress, imx99x::kImx992) {}

CSensorIMX992::CSensorIMX992(CControllerBase* controller, uint8_t deviceAddress, const Imx99xModel& model)
    : CSensorIMX991(controller, deviceAddress, model) {}

int CSensorIMX992::SetGlobalGain(unsigned gain) {
  gain = std::min(gain, static_cast<unsigned>(info_.gainMax));
  if (!WriteRegister(reg::kGain0, gain & 0xFF) || !WriteRegister(reg::kGain1, (gain >> 8) & 1)) return 0;
  info_.gainValue = static_cast<int>(gain);
  return 1;
}

int CSensorIMX992::SetCooler(int on) {
  uint8_t value = 0;
  if (!HasCooler() || !controller_ || !controller_->ReadBoardRegister(fpga::kCooler, &value)) return 0;
  const uint8_t next = static_cast<uint8_t>((value & ~1) | (on > 0 ? 1 : 0));
  return controller_->WriteBoardRegister(fpga::kCooler, next) ? 1 : 0;
}

int CSensorIMX992::GetModeSwitch() {
  int value = 0;
  if (!ReadRegister(kModeSwitch, &value)) return -1;
  return (value & 1) ? 0 : 1;
}

int CSensorIMX992::SetModeSwitch(int on) {
  int value = 0;
  if (!ReadRegister(kModeSwitch, &value)) return 0;
  return WriteRegister(kModeSwitch, on ? (value & ~1) : (value | 1));
}
