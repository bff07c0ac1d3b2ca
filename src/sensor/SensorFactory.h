// The sensor driver of a camera, as its product's row chooses it.
#pragma once

#include "sensor/SensorBase.h"
#include "sensor/SensorModel.h"

// A new driver for `choice` on `controller`, already told its model code;
// null when the choice has no model, when the chip that decides the model
// cannot be read, or when allocation fails. The caller owns the driver and
// deletes it through CSensorBase.
CSensorBase* CreateSensorDriver(const SensorChoice& choice, CControllerBase* controller);
