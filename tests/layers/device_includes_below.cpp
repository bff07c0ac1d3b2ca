// The device layer reaches its own headers and those of the layers below it.
#include "device/TevrinU3K5Base.h"
#include "sensor/SensorBase.h"
#include "usb/TevrinCy3Cam.h"
