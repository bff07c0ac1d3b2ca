// Real cameras through libusb: the FX3 cameras of the family on any bus,
// named by the port they hang on, opened with their interface claimed; one
// event thread completes every transfer and reports plugging and unplugging
// as device-interface notifications.
#pragma once

#include <tevrin/fx3driver/UsbDevice.h>

#include <libusb.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace tevrin::fx3driver {

class LibusbBus final : public UsbBus {
 public:
  // Null when libusb cannot be started here (no USB subsystem).
  static std::shared_ptr<LibusbBus> Create();
  explicit LibusbBus(libusb_context* context);
  ~LibusbBus() override;
  LibusbBus(const LibusbBus&) = delete;
  LibusbBus& operator=(const LibusbBus&) = delete;

  std::vector<UsbPresence> Present() override;
  std::unique_ptr<UsbDevice> Open(const std::string& port, OpenFailure& failure) override;

 private:
  static int LIBUSB_CALL HotplugEvent(libusb_context* context, libusb_device* device, libusb_hotplug_event event,
                                     void* self);
  void EventLoop();

  libusb_context* const context_;
  libusb_hotplug_callback_handle hotplug_ = 0;
  bool hotplugRegistered_ = false;
  std::atomic<bool> stopping_ = false;
  std::thread events_;
};

// The sysfs name of the device's port, "<bus>-<port>[.<port>...]": stable while
// the device stays plugged in there. Empty when libusb cannot tell.
std::string PortName(libusb_device* device);
// A camera of the family, by its descriptor.
bool IsCamera(libusb_device* device, UsbPresence& presence);

}  // namespace tevrin::fx3driver
