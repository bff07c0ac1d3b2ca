#include "OtherProducts.h"

#include <setupapi.h>
#include <windows.h>

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace tevrin::tool {
namespace {

// The IMX991 camera, the one product the SDK opens.
constexpr uint16_t kServedProduct = 0x3280;

// The camera driver's device interface class, {328184C5-93E6-49B7-94B8-2ADA13AABB39}.
constexpr GUID kCameraInterface = {0x328184C5, 0x93E6, 0x49B7, {0x94, 0xB8, 0x2A, 0xDA, 0x13, 0xAA, 0xBB, 0x39}};

// Paths read "\\?\usb#vid_XXXX&pid_YYYY#<instance>#{guid}". The SDK takes the
// product ID from this position; reading it from the same place keeps the
// tool's idea of a path's product the SDK's.
constexpr size_t kProductIdOffset = 21;
constexpr size_t kProductIdDigits = 4;

std::optional<uint16_t> ProductOf(const char* path) {
  if (std::strlen(path) < kProductIdOffset + kProductIdDigits) return std::nullopt;
  const char* digits = path + kProductIdOffset;
  uint16_t product = 0;
  auto [end, error] = std::from_chars(digits, digits + kProductIdDigits, product, 16);
  if (error != std::errc() || end != digits + kProductIdDigits || product == 0) return std::nullopt;
  return product;
}

std::optional<uint16_t> ProductOfInterface(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interface) {
  DWORD required = 0;
  SetupDiGetDeviceInterfaceDetailA(set, &interface, nullptr, 0, &required, nullptr);
  constexpr size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  if (required <= kPathOffset + 1) return std::nullopt;
  std::vector<char> buffer(required + 1, '\0');
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!SetupDiGetDeviceInterfaceDetailA(set, &interface, detail, required, nullptr, nullptr)) return std::nullopt;
  return ProductOf(detail->DevicePath);
}

}  // namespace

std::map<uint16_t, int> CountOtherProducts() {
  std::map<uint16_t, int> counts;
  HDEVINFO set = SetupDiGetClassDevsA(&kCameraInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE || set == nullptr) return counts;
  SP_DEVICE_INTERFACE_DATA interface {};
  interface.cbSize = sizeof interface;
  for (DWORD member = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &kCameraInterface, member, &interface); ++member) {
    const auto product = ProductOfInterface(set, interface);
    if (product && *product != kServedProduct) ++counts[*product];
  }
  SetupDiDestroyDeviceInfoList(set);
  return counts;
}

std::string DescribeOtherProducts(const std::map<uint16_t, int>& counts) {
  std::string text;
  for (const auto& [product, count] : counts) {
    char entry[64];
    std::snprintf(entry, sizeof entry, "product 0x%04X (%d camera%s)", product, count, count == 1 ? "" : "s");
    text += text.empty() ? "also present, not served by this SDK: " : ", ";
    text += entry;
  }
  return text;
}

}  // namespace tevrin::tool
