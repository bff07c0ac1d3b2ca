// Driver of the Sony IMX993 (2048 x 1536): the IMX992's programming with an
// adjustable black level and an on/off sensor option, without the internal
// correction query.
#pragma once

#include "sensor/SensorIMX992.h"

class CSensorIMX993 : public CSensorIMX992 {
 public:
  CSensorIMX993(CControllerBase* controller, uint8_t deviceAddress);

  int SetBlackLevel(int level) override;
  int SetSensorOption(unsigned on) override;
  int HasInternalCorrection() override { return 0; }

 protected:
  void ProgramInitialBlackLevel() override;
};
