// The device object the camera instance creates: the base object as it is,
// with only its own destructor.
#pragma once

#include "device/TevrinU3K5Base.h"

class CTevrinUSB3K5SimpleSdk : public CTevrinU3K5Base {
 public:
  ~CTevrinUSB3K5SimpleSdk() override { CloseDevice(); }
};
