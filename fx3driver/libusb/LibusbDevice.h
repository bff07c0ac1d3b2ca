// A real camera opened through libusb: its interface claimed, bulk transfers
// asynchronous and completed by the bus's event thread.
#pragma once

#include <tevrin/fx3driver/UsbDevice.h>

#include <libusb.h>

#include <condition_variable>
#include <map>
#include <mutex>

namespace tevrin::fx3driver {

class LibusbDevice final : public UsbDevice {
 public:
  // Takes over `handle`, whose interface 0 is claimed.
  explicit LibusbDevice(libusb_device_handle* handle) : handle_(handle) {}
  ~LibusbDevice() override;

  UsbResult Control(const ControlSetup& setup, std::span<uint8_t> data, unsigned timeoutMs) override;
  void SubmitBulk(BulkTransfer transfer) override;
  void CancelBulk(const void* tag) override;
  UsbStatus AbortEndpoint(uint8_t endpoint) override;
  UsbStatus ClearHalt(uint8_t endpoint) override;
  UsbStatus ResetPort() override;
  UsbStatus Speed(uint32_t& speed) override;
  DeviceDescriptor Descriptor() override;
  std::string SerialNumber() override;

 private:
  static void LIBUSB_CALL Completed(libusb_transfer* transfer);
  // Cancels the transfers in flight that `matches` picks and waits for their completions.
  template <class Match>
  void CancelWhere(Match matches);

  libusb_device_handle* const handle_;
  std::mutex mutex_;
  std::condition_variable finished_;
  std::map<libusb_transfer*, BulkTransfer> inFlight_;
};

// The outcome libusb reports, as the driver logic knows it.
UsbStatus StatusFromLibusb(int error);
UsbStatus StatusFromTransfer(libusb_transfer_status status);

}  // namespace tevrin::fx3driver
