#include "VirtualBus.h"

#include <tevrin/fx3driver/Fx3Driver.h>
#include <tevrin/hardware/Fx3Requests.h>

namespace tevrin::virtualcam {

namespace hw = tevrin::hardware;
using fx3driver::UsbStatus;

namespace {

// One open of a camera: it stays bound to the plug-in generation it was opened in.
class VirtualUsbDevice final : public fx3driver::UsbDevice {
 public:
  VirtualUsbDevice(std::shared_ptr<VirtualCamera> camera, uint64_t generation)
      : camera_(std::move(camera)), generation_(generation) {}

  fx3driver::UsbResult Control(const fx3driver::ControlSetup& setup, std::span<uint8_t> data, unsigned) override {
    return camera_->Control(generation_, setup, data);
  }
  void SubmitBulk(fx3driver::BulkTransfer transfer) override { camera_->SubmitBulk(generation_, std::move(transfer)); }
  void CancelBulk(const void* tag) override { camera_->CancelBulk(tag); }
  UsbStatus AbortEndpoint(uint8_t endpoint) override { return camera_->AbortEndpoint(generation_, endpoint); }
  UsbStatus ClearHalt(uint8_t endpoint) override { return camera_->AbortEndpoint(generation_, endpoint); }
  UsbStatus ResetPort() override { return camera_->ResetPort(generation_); }
  UsbStatus Speed(uint32_t& speed) override {
    uint64_t current = 0;
    if (!camera_->Open(current) || current != generation_) return UsbStatus::kNoDevice;
    speed = hw::kDeviceSpeedSuper;
    return UsbStatus::kSuccess;
  }
  fx3driver::DeviceDescriptor Descriptor() override {
    return {hw::kCypressVendorId, camera_->config().productId, camera_->config().firmwareVersion, 0x0300};
  }
  std::string SerialNumber() override { return camera_->serialNumber(); }

 private:
  const std::shared_ptr<VirtualCamera> camera_;
  const uint64_t generation_;
};

}  // namespace

VirtualBus& VirtualBus::Instance() {
  // Owned with its driver by the platform's registry, which outlives every user.
  static VirtualBus* bus = [] {
    auto created = std::make_shared<VirtualBus>();
    created->Replace(CamerasFromEnvironment());
    win32::RegisterDriver(std::make_shared<fx3driver::Fx3Driver>(created));
    return created.get();
  }();
  return *bus;
}

std::vector<fx3driver::UsbPresence> VirtualBus::Present() {
  std::vector<fx3driver::UsbPresence> present;
  std::lock_guard lock(mutex_);
  for (const auto& camera : cameras_) {
    if (camera->IsPlugged()) present.push_back({hw::kCypressVendorId, camera->config().productId, camera->port()});
  }
  return present;
}

std::unique_ptr<fx3driver::UsbDevice> VirtualBus::Open(const std::string& port, fx3driver::OpenFailure& failure) {
  std::lock_guard lock(mutex_);
  for (const auto& camera : cameras_) {
    uint64_t generation = 0;
    if (camera->port() == port && camera->Open(generation)) {
      return std::make_unique<VirtualUsbDevice>(camera, generation);
    }
  }
  failure = fx3driver::OpenFailure::kNotFound;
  return nullptr;
}

void VirtualBus::Replace(const std::vector<CameraConfig>& configs) {
  std::vector<std::shared_ptr<VirtualCamera>> cameras;
  for (size_t i = 0; i < configs.size(); ++i) cameras.push_back(std::make_shared<VirtualCamera>(configs[i], int(i)));
  std::vector<std::shared_ptr<VirtualCamera>> old;
  {
    std::lock_guard lock(mutex_);
    old.swap(cameras_);
    cameras_ = std::move(cameras);
  }
  // Open handles keep an old camera alive; it answers them as unplugged.
  for (const auto& camera : old) camera->SetPlugged(false);
}

std::shared_ptr<VirtualCamera> VirtualBus::Camera(size_t index) {
  std::lock_guard lock(mutex_);
  return index < cameras_.size() ? cameras_[index] : nullptr;
}

size_t VirtualBus::Count() {
  std::lock_guard lock(mutex_);
  return cameras_.size();
}

std::string PathOf(const VirtualCamera& camera) {
  return fx3driver::DevicePath(hw::kCypressVendorId, camera.config().productId, camera.port());
}

}  // namespace tevrin::virtualcam
