#include "sensor/SensorFactory.h"

#include <new>

#include "sensor/SensorIMX990.h"
#include "sensor/SensorIMX991.h"
#include "sensor/SensorIMX992.h"
#include "sensor/SensorIMX993.h"

namespace {

enum class Driver { kImx990, kImx991, kImx992, kImx993 };

struct ProductRow {
  uint16_t productId;
  Driver driver;
  uint8_t address;  // I2C address of the sensor
  int modelCode;
};

constexpr uint8_t kSonyAddress = 0x48;
constexpr ProductRow kProducts[] = {
    {0x3260, Driver::kImx990, kSonyAddress, 109}, {0x3270, Driver::kImx990, kSonyAddress, 110},
    {0x3280, Driver::kImx991, kSonyAddress, 111}, {0x3290, Driver::kImx991, kSonyAddress, 112},
    {0x3370, Driver::kImx992, kSonyAddress, 129}, {0x3380, Driver::kImx992, kSonyAddress, 130},
    {0x33C0, Driver::kImx993, kSonyAddress, 131}, {0x33D0, Driver::kImx993, kSonyAddress, 132},
};

CSensorBase* Construct(Driver driver, CControllerBase* controller, uint8_t address) {
  switch (driver) {
    case Driver::kImx990:
      return new (std::nothrow) CSensorIMX990(controller, address);
    case Driver::kImx991:
      return new (std::nothrow) CSensorIMX991(controller, address);
    case Driver::kImx992:
      return new (std::nothrow) CSensorIMX992(controller, address);
    case Driver::kImx993:
      return new (std::nothrow) CSensorIMX993(controller, address);
  }
  return nullptr;
}

}  // namespace

CSensorBase* CreateSensorDriver(uint16_t productId, CControllerBase* controller) {
  for (const ProductRow& row : kProducts) {
    if (row.productId != productId) continue;
    CSensorBase* sensor = Construct(row.driver, controller, row.address);
    if (sensor) sensor->SetModelCode(row.modelCode);
    return sensor;
  }
  return nullptr;
}
