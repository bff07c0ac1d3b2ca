// The USB bus the virtual cameras hang on, one port each. The FX3 driver
// logic is registered over it with the platform when the library loads.
#pragma once

#include <tevrin/fx3driver/UsbDevice.h>

#include <memory>
#include <mutex>
#include <vector>

#include "CameraConfig.h"
#include "VirtualCamera.h"

namespace tevrin::virtualcam {

class VirtualBus final : public fx3driver::UsbBus {
 public:
  // The one instance, with its driver registered.
  static VirtualBus& Instance();

  std::vector<fx3driver::UsbPresence> Present() override;
  std::unique_ptr<fx3driver::UsbDevice> Open(const std::string& port, fx3driver::OpenFailure& failure) override;

  void Replace(const std::vector<CameraConfig>& configs);
  std::shared_ptr<VirtualCamera> Camera(size_t index);
  size_t Count();

 private:
  std::mutex mutex_;
  std::vector<std::shared_ptr<VirtualCamera>> cameras_;
};

// The device path under which the driver offers the camera.
std::string PathOf(const VirtualCamera& camera);

}  // namespace tevrin::virtualcam
