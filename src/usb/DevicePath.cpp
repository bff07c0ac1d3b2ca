#include "usb/DevicePath.h"

#include <tevrin/hardware/Fx3Requests.h>

#include <charconv>
#include <cstring>

namespace tevrin::usb {

namespace {

std::optional<uint16_t> ParseHexField(const char* text) {
  constexpr size_t kDigits = 4;
  uint16_t value = 0;
  auto [end, error] = std::from_chars(text, text + kDigits, value, 16);
  if (error != std::errc() || end != text + kDigits) return std::nullopt;
  return value;
}

}  // namespace

ScopedHandle OpenDevicePath(const char* path, bool overlapped) {
  if (!path || !*path) return {};
  return ScopedHandle(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr));
}

std::optional<DeviceIds> ParseDeviceIds(const char* path) {
  using hardware::kPathProductIdOffset;
  using hardware::kPathVendorIdOffset;
  if (!path || std::strlen(path) < kPathProductIdOffset + 4) return std::nullopt;
  auto vendor = ParseHexField(path + kPathVendorIdOffset);
  auto product = ParseHexField(path + kPathProductIdOffset);
  if (!vendor || !product) return std::nullopt;
  return DeviceIds{*vendor, *product};
}

}  // namespace tevrin::usb
