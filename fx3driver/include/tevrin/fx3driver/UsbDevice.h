// What the FX3 driver needs of a USB device: endpoint-0 transfers,
// asynchronous bulk transfers that can be cancelled, pipe recovery and the
// device's identity. A real device (libusb) and the virtual camera's device
// model both offer it, so the driver logic above is the same for both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tevrin::fx3driver {

enum class UsbStatus {
  kSuccess,
  kStall,      // the device refused the request or the endpoint halted
  kTimeout,    // the device did not answer in time
  kCancelled,  // cancelled by the host
  kNoDevice,   // the device is gone (unplugged, or this open is stale)
  kError,      // any other failure on the bus
};

struct UsbResult {
  UsbStatus status = UsbStatus::kSuccess;
  size_t bytes = 0;
};

struct ControlSetup {
  uint8_t requestType = 0;
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;
};

// One bulk transfer in flight. The device calls `done` exactly once, from any
// thread (possibly inside SubmitBulk); `data` stays valid until then.
struct BulkTransfer {
  uint8_t endpoint = 0;
  uint8_t* data = nullptr;
  size_t length = 0;
  const void* tag = nullptr;  // names the transfer to CancelBulk
  std::function<void(UsbResult)> done;
};

struct DeviceDescriptor {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t bcdDevice = 0;
  uint16_t bcdUsb = 0;
};

// One open of a device.
class UsbDevice {
 public:
  virtual ~UsbDevice() = default;
  // Synchronous endpoint-0 transfer; `data` is written to the device or filled
  // by it as the direction bit of the request type says.
  virtual UsbResult Control(const ControlSetup& setup, std::span<uint8_t> data, unsigned timeoutMs) = 0;
  virtual void SubmitBulk(BulkTransfer transfer) = 0;
  // Completes the transfer named by `tag` as cancelled if it is still in
  // flight; once this returns its `done` has run.
  virtual void CancelBulk(const void* tag) = 0;
  // Cancels every transfer in flight on the endpoint, as CancelBulk does.
  virtual UsbStatus AbortEndpoint(uint8_t endpoint) = 0;
  // Clears a halt of the endpoint; the transfers in flight on it are cancelled first.
  virtual UsbStatus ClearHalt(uint8_t endpoint) = 0;
  // Resets the port the device hangs on; every transfer in flight is cancelled.
  virtual UsbStatus ResetPort() = 0;
  // The negotiated speed as the driver reports it (4 = SuperSpeed).
  virtual UsbStatus Speed(uint32_t& speed) = 0;
  virtual DeviceDescriptor Descriptor() = 0;
  virtual std::string SerialNumber() = 0;
};

// A device the bus sees, whether or not it can be opened.
struct UsbPresence {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  // Stable while the device stays in its port; the instance part of its path.
  std::string port;
};

enum class OpenFailure { kNone, kNotFound, kAccessDenied, kBusy, kOther };

class UsbBus {
 public:
  virtual ~UsbBus() = default;
  // The FX3 cameras present now, in a stable order.
  virtual std::vector<UsbPresence> Present() = 0;
  // Null with `failure` set when the device at `port` cannot be opened.
  virtual std::unique_ptr<UsbDevice> Open(const std::string& port, OpenFailure& failure) = 0;
};

}  // namespace tevrin::fx3driver
