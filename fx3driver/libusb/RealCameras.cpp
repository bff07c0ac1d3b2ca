#include <tevrin/fx3driver/Fx3Driver.h>
#include <tevrin/fx3driver/RealCameras.h>

#include <mutex>

#include "LibusbBus.h"

namespace tevrin::fx3driver {
namespace {

// Starts libusb on first use, so a process that never looks for cameras runs
// no event thread and opens no USB device.
class LazyLibusbBus final : public UsbBus {
 public:
  std::vector<UsbPresence> Present() override {
    auto bus = Bus();
    return bus ? bus->Present() : std::vector<UsbPresence>{};
  }
  std::unique_ptr<UsbDevice> Open(const std::string& port, OpenFailure& failure) override {
    auto bus = Bus();
    if (bus) return bus->Open(port, failure);
    failure = OpenFailure::kNotFound;
    return nullptr;
  }

 private:
  std::shared_ptr<LibusbBus> Bus() {
    std::call_once(started_, [this] { bus_ = LibusbBus::Create(); });
    return bus_;
  }

  std::once_flag started_;
  std::shared_ptr<LibusbBus> bus_;
};

// Registered as soon as the library is loaded, before main, ahead of the
// virtual camera; owned by the platform's registry for the life of the process.
const std::shared_ptr<LazyLibusbBus> realBus = [] {
  auto bus = std::make_shared<LazyLibusbBus>();
  win32::RegisterDriver(std::make_shared<Fx3Driver>(bus));
  return bus;
}();

}  // namespace

size_t RealCameraCount() {
  return realBus->Present().size();
}

}  // namespace tevrin::fx3driver
