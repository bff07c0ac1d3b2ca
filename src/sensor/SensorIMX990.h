// Driver of the Sony IMX990 (1280 x 1024): the IMX991's programming on a
// larger area, with written registers read back, a line time that depends on
// the window height, and the trigger logic always switched off for an update.
#pragma once

#include "sensor/SensorIMX991.h"

class CSensorIMX990 : public CSensorIMX991 {
 public:
  CSensorIMX990(CControllerBase* controller, uint8_t deviceAddress);

  int WriteRegister(unsigned address, unsigned value) override;
  int SetBitDepth(int sixteen) override;

 protected:
  double LineTimeNs() override;
  int MirrorOffset(bool mirrored) override;
  void ProgramTriggerTiming() override;
};
