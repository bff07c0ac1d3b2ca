#include "sensor/SensorIMX990.h"

#include <tevrin/hardware/Imx991Registers.h>

namespace reg = tevrin::hardware::imx991;

namespace {
// Line time of the full-height readout; reduced heights run at the IMX991's.
constexpr double kFullWindowLineTimeNs = 12959.94133284444;
constexpr uint32_t kTriggerPeriodExtraLines = 9;
}  // namespace

CSensorIMX990::CSensorIMX990(CControllerBase* controller, uint8_t deviceAddress)
    : CSensorIMX991(controller, deviceAddress, imx99x::kImx990) {}

int CSensorIMX990::WriteRegister(unsigned address, unsigned value) {
  return WithSensorBus([&] {
    int read = -1;
    return WriteRegisterRaw(address, value) && ReadRegisterRaw(address, &read) && read == int(value & 0xFF);
  });
}

int CSensorIMX990::SetBitDepth(int sixteen) {
  CSensorIMX991::SetBitDepth(sixteen);
  // A new window may change the frame length; keep the exposure where it was.
  SetExposureLines(static_cast<unsigned>(info_.expLinesValue));
  return 1;
}

double CSensorIMX990::LineTimeNs() {
  if (IsFastBoard()) return reg::kLineTimeFastNs;
  return info_.windowHeight == info_.defaultHeight ? kFullWindowLineTimeNs : reg::kLineTimeStandardNs;
}

int CSensorIMX990::MirrorOffset(bool mirrored) {
  if (info_.readoutMode == 1) return mirrored ? 52 : 4;
  return mirrored ? 104 : 8;
}

void CSensorIMX990::ProgramTriggerTiming() {
  TriggerTiming timing;
  timing.exposureLines = static_cast<uint32_t>(info_.expLinesValue);
  timing.periodLines = timing.exposureLines + static_cast<uint32_t>(info_.windowHeight) + kTriggerPeriodExtraLines;
  timing.switchLogic = true;
  timing.policy = VerifyPolicy::kPlain;
  CSensorBase::ProgramTriggerTiming(timing);
}
