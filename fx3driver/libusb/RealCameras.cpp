#include <tevrin/fx3driver/Fx3Driver.h>
#include <tevrin/fx3driver/RealCameras.h>

#include "LibusbBus.h"

namespace tevrin::fx3driver {
namespace {

size_t RegisterRealCameras() {
  auto bus = LibusbBus::Create();
  if (!bus) return 0;
  // Owned by the platform's registry for the life of the process.
  win32::RegisterDriver(std::make_shared<Fx3Driver>(bus));
  return bus->Present().size();
}

// Registers the driver as soon as the library is loaded, before main.
const size_t presentAtLoad = RegisterRealCameras();

}  // namespace

size_t RealCameraCount() {
  return presentAtLoad;
}

}  // namespace tevrin::fx3driver
