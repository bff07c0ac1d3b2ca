// The FX3 kernel driver's behaviour over any USB bus: device interface paths
// for the cameras the bus sees, and each DeviceIoControl request of an open
// path turned into control and bulk transfers of the device.
#pragma once

#include <tevrin/fx3driver/UsbDevice.h>
#include <tevrin/win32/Driver.h>

#include <memory>
#include <string>
#include <vector>

namespace tevrin::fx3driver {

// "\\?\usb#vid_XXXX&pid_YYYY#<port>#{fx3 interface guid}".
std::string DevicePath(uint16_t vendorId, uint16_t productId, const std::string& port);
GUID Fx3InterfaceGuid();

class Fx3Driver final : public win32::Driver {
 public:
  explicit Fx3Driver(std::shared_ptr<UsbBus> bus) : bus_(std::move(bus)) {}

  std::vector<std::string> InterfacePaths(const GUID& interfaceClass) override;
  std::unique_ptr<win32::DeviceHandle> Open(const std::string& path, DWORD desiredAccess, DWORD& error) override;

 private:
  const std::shared_ptr<UsbBus> bus_;
};

}  // namespace tevrin::fx3driver
