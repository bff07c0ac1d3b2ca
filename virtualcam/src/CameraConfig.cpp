#include "CameraConfig.h"

#include <cstdio>
#include <cstdlib>

#include <tevrin/fx3driver/RealCameras.h>
#include <tevrin/hardware/Eeprom.h>

namespace tevrin::virtualcam {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Decimal, or hexadecimal with 0x.
std::optional<uint64_t> ParseNumber(std::string_view text, uint64_t max) {
  std::string digits(text);
  if (digits.empty()) return std::nullopt;
  char* end = nullptr;
  unsigned long long value = std::strtoull(digits.c_str(), &end, 0);
  if (*end != '\0' || digits.front() == '-' || value > max) return std::nullopt;
  return value;
}

bool ApplyOption(std::string_view option, CameraConfig& config) {
  if (option == "standard") return config.fastBoard = false, true;
  if (option == "fast") return config.fastBoard = true, true;
  if (option == "scene") return config.pattern = false, true;
  if (option == "pattern") return config.pattern = true, true;
  if (option == "rev1") return config.firstColorRevision = true, true;
  if (option == "old") {
    config.firmwareVersion = 0x1000;
    config.fpgaVersion = 0x0110;
    return true;
  }
  size_t equals = option.find('=');
  if (equals == std::string_view::npos) return false;
  std::string_view key = option.substr(0, equals);
  std::string_view value = option.substr(equals + 1);
  if (key == "serial") {
    if (value.size() > hardware::kEepromSerialNumberBytes) return false;  // a full area has no end byte
    config.serialNumber = value;
    return true;
  }
  if (key == "eeprom") return config.eepromFile = value, !value.empty();
  std::optional<uint64_t> number;
  if (key == "seed" && (number = ParseNumber(value, UINT64_MAX))) return config.seed = *number, true;
  if (key == "fw" && (number = ParseNumber(value, 0xFFFF))) return config.firmwareVersion = *number, true;
  if (key == "fpga" && (number = ParseNumber(value, 0xFFFF))) return config.fpgaVersion = *number, true;
  if (key == "gpio25" && (number = ParseNumber(value, 1))) return config.gpio25Flag = *number, true;
  return false;
}

}  // namespace

FrameRoute RouteOf(uint16_t productId) {
  switch (productId) {
    case 0x3042:
      return FrameRoute::kAuxiliary;
    case 0x3310:
    case 0x3320:
    case 0x3330:
    case 0x3340:
      return FrameRoute::kMemoryStream;
    default:
      return FrameRoute::kHeaderAndImage;
  }
}

std::optional<std::vector<CameraConfig>> ParseCameraList(std::string_view text, std::string& error) {
  std::vector<CameraConfig> cameras;
  text = Trim(text);
  if (text == "none" || text.empty()) return cameras;
  for (std::string_view entry : Split(text, ',')) {
    auto options = Split(Trim(entry), ':');
    CameraConfig config;
    auto product = ParseNumber(Trim(options.front()), 0xFFFF);
    if (!product || *product == 0) {
      error = "not a product ID: '" + std::string(options.front()) + "'";
      return std::nullopt;
    }
    config.productId = static_cast<uint16_t>(*product);
    for (size_t i = 1; i < options.size(); ++i) {
      if (!ApplyOption(Trim(options[i]), config)) {
        error = "unknown camera option: '" + std::string(options[i]) + "'";
        return std::nullopt;
      }
    }
    cameras.push_back(config);
  }
  return cameras;
}

std::vector<CameraConfig> CamerasFor(const char* setting, size_t realCameras) {
  if (setting == nullptr) return realCameras == 0 ? std::vector{CameraConfig{}} : std::vector<CameraConfig>{};
  std::string error;
  auto cameras = ParseCameraList(setting, error);
  if (cameras) return *cameras;
  std::fprintf(stderr, "TEVRIN_VIRTUAL_CAMERAS: %s; using one standard 0x3280 camera\n", error.c_str());
  return {CameraConfig{}};
}

std::vector<CameraConfig> CamerasFromEnvironment() {
  const char* setting = std::getenv("TEVRIN_VIRTUAL_CAMERAS");
  // Real cameras matter only when the setting leaves the choice open; otherwise USB stays untouched here.
  return CamerasFor(setting, setting ? 0 : fx3driver::RealCameraCount());
}

}  // namespace tevrin::virtualcam
