// One open device path: each FX3 driver request becomes transfers of the
// USB device, and its outcome the request's error code and the statuses the
// caller reads back from its request header.
#pragma once

#include <tevrin/fx3driver/UsbDevice.h>
#include <tevrin/hardware/Fx3Requests.h>
#include <tevrin/win32/Driver.h>

#include <memory>

namespace tevrin::fx3driver {

class Fx3Device final : public win32::DeviceHandle {
 public:
  explicit Fx3Device(std::unique_ptr<UsbDevice> device) : device_(std::move(device)) {}

  void Submit(const std::shared_ptr<win32::IoRequest>& request) override;
  void Cancel(const std::shared_ptr<win32::IoRequest>& request) override;

 private:
  // The Win32 error code of the request (0 for success).
  DWORD ControlTransfer(win32::IoRequest& request);
  // Starts a bulk transfer of `length` bytes at `data`; its completion
  // finishes the request, counting `headerBytes` into the bytes returned.
  void StartBulk(const std::shared_ptr<win32::IoRequest>& request, hardware::SingleTransfer* header, uint8_t* data,
                 size_t length, uint32_t headerBytes);
  DWORD RecoverPipe(const win32::IoRequest& request);
  DWORD DeviceSpeed(win32::IoRequest& request);

  const std::unique_ptr<UsbDevice> device_;
};

}  // namespace tevrin::fx3driver
