// Vendor requests on endpoint 0, carried by the FX3 driver's control transfer
// in the 102-byte request block.
#pragma once

#include <windows.h>

#include <tevrin/hardware/Fx3Requests.h>

#include <array>
#include <cstdint>
#include <span>

namespace tevrin::usb {

struct VendorRequest {
  uint8_t requestType;
  uint8_t request;
  uint16_t value = 0;
  uint16_t index = 0;
  std::span<const uint8_t> data = {};  // at most 64 bytes
};

struct VendorReply {
  bool ok = false;         // the driver accepted the request
  uint32_t error = 0;      // the driver's error when it did not
  uint32_t dataBytes = 0;  // reply bytes that came back
  std::array<uint8_t, hardware::kControlDataBytes> data = {};
};

// Fills the request block exactly as the driver expects it.
hardware::ControlRequestBlock BuildControlBlock(const VendorRequest& request);

// Issues the request synchronously on `device`.
VendorReply SendVendorRequest(HANDLE device, const VendorRequest& request);

}  // namespace tevrin::usb
