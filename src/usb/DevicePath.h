// Device interface paths of the FX3 driver: opening one, and the USB vendor
// and product IDs they carry ("\\?\usb#vid_XXXX&pid_YYYY#...").
#pragma once

#include <cstdint>
#include <optional>

#include "usb/ScopedHandle.h"

namespace tevrin::usb {

// Opens the path for writing, sharing writes, as an existing device; with
// `overlapped` the handle takes overlapped I/O. Empty on failure.
ScopedHandle OpenDevicePath(const char* path, bool overlapped);

struct DeviceIds {
  uint16_t vendorId;
  uint16_t productId;
};

// The IDs from their fixed character positions; empty when the path is too
// short or either field is not four hexadecimal digits.
std::optional<DeviceIds> ParseDeviceIds(const char* path);

}  // namespace tevrin::usb
