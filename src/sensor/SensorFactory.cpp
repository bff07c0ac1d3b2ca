#include "sensor/SensorFactory.h"

#include <new>

#include "sensor/SensorBus.h"
#include "sensor/SensorIMX990.h"
#include "sensor/SensorIMX991.h"
#include "sensor/SensorIMX992.h"
#include "sensor/SensorIMX993.h"
#include "sensor/SensorKaiQuadLarge.h"
#include "sensor/SensorMT9F001.h"

namespace {

CSensorBase* Construct(const SensorModel& model, CControllerBase* controller, uint8_t address) {
  switch (model.driver) {
    case DriverClass::kFamilyMember:
      return new (std::nothrow) CSensorFamilyMember(model, controller, address);
    case DriverClass::kImx990:
      return new (std::nothrow) CSensorIMX990(controller, address);
    case DriverClass::kImx991:
      return new (std::nothrow) CSensorIMX991(controller, address);
    case DriverClass::kImx992:
      return new (std::nothrow) CSensorIMX992(controller, address);
    case DriverClass::kImx993:
      return new (std::nothrow) CSensorIMX993(controller, address);
    case DriverClass::kMT9F001:
      return new (std::nothrow) CSensorMT9F001(model, controller, address);
    case DriverClass::kMT9F002:
      return new (std::nothrow) CSensorMT9F002(model, controller, address);
    case DriverClass::kKaiQuadLarge:
      return new (std::nothrow) CSensorKaiQuadLarge(model, controller, address);
  }
  return nullptr;
}

// The model the chip's identification register picks; null when it cannot be read.
const SensorModel* Identify(const SensorChoice& choice, CControllerBase* controller) {
  if (!choice.identified) return choice.model;
  int identity = 0;
  if (!controller || !sensor_bus::ReadWordRegister(*controller, choice.address, 0, &identity)) return nullptr;
  return identity == choice.identity ? choice.identified : choice.model;
}

}  // namespace

CSensorBase* CreateSensorDriver(const SensorChoice& choice, CControllerBase* controller) {
  if (!choice.model) return nullptr;
  const SensorModel* model = Identify(choice, controller);
  if (!model) return nullptr;
  CSensorBase* sensor = Construct(*model, controller, choice.address);
  if (sensor && choice.modelCode >= 0) sensor->SetModelCode(choice.modelCode);
  return sensor;
}
