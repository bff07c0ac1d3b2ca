// Driver of the Sony IMX992 (2560 x 2048): the IMX991's programming with a
// 52-line shutter margin and even line counts, a mode switch in sensor
// register 0x710, and a cooler bit that shares its board register.
#pragma once

#include "sensor/SensorIMX991.h"

class CSensorIMX992 : public CSensorIMX991 {
 public:
  CSensorIMX992(CControllerBase* controller, uint8_t deviceAddress);

  int SetAuxiliaryValue(int) override { return 0; }
  int ApplyAuxiliary() override { return 0; }
  int HasAuxiliary() override { return 0; }
  int SetGlobalGain(unsigned gain) override;
  int SetCooler(int on) override;
  int HasModeSwitch() override { return 1; }
  int GetModeSwitch() override;
  int SetModeSwitch(int on) override;
  int SupportsGray16() override { return 1; }
  int HasFeatureBit() override { return 0; }
  int EnableFeatureBit() override { return 0; }

 protected:
  CSensorIMX992(CControllerBase* controller, uint8_t deviceAddress, const Imx99xModel& model);
};
