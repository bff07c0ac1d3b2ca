#include "OtherProducts.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "CameraInterfaces.h"

namespace tevrin::tool {
namespace {

// The IMX991 camera, the one product the SDK opens.
constexpr uint16_t kServedProduct = 0x3280;

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

}  // namespace

std::map<uint16_t, int> CountOtherProducts() {
  std::map<uint16_t, int> counts;
  for (const auto& path : CameraInterfacePaths()) {
    const auto product = ProductOf(path.c_str());
    if (product && *product != kServedProduct) ++counts[*product];
  }
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
