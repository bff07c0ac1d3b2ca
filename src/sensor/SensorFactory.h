// The sensor driver of a camera, chosen by its USB product ID.
#pragma once

#include <cstdint>

#include "sensor/SensorBase.h"

// A new driver for `productId` on `controller`, already told its model code;
// null for a product ID without a driver here or when allocation fails.
// The caller owns the driver and deletes it through CSensorBase.
CSensorBase* CreateSensorDriver(uint16_t productId, CControllerBase* controller);
