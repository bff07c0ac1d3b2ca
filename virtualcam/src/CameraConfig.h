// What one virtual camera is: model, board, firmware, image source, identity.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tevrin::virtualcam {

// How a product hands its frames to the host.
enum class FrameRoute {
  kHeaderAndImage,  // after each arm request a frame header, then the image, on 0x81
  kAuxiliary,       // 0x3042: after each arm request the image alone on 0x83; no board port
  kMemoryStream,    // 0x3310..0x3340: memory-window reads at address 0 carry the images
};

FrameRoute RouteOf(uint16_t productId);

struct CameraConfig {
  uint16_t productId = 0x3280;
  bool fastBoard = false;
  bool pattern = false;  // pixel values encode position and frame counter
  uint64_t seed = 1;
  std::string serialNumber;  // empty: made from the product ID and the camera's number
  uint16_t firmwareVersion = 0x1201;
  uint16_t fpgaVersion = 0x8125;
  uint8_t gpio25Flag = 1;
  bool firstColorRevision = false;  // 0x3020: the colour sensor identifies as the first revision
  std::string eepromFile;           // empty: the EEPROM lives as long as the camera

  FrameRoute route() const { return RouteOf(productId); }
};

// Parses the camera list of TEVRIN_VIRTUAL_CAMERAS (syntax in VirtualCameras.h).
// Unknown words make the whole list invalid: nullopt, with the reason in `error`.
std::optional<std::vector<CameraConfig>> ParseCameraList(std::string_view text, std::string& error);

// The virtual cameras beside `realCameras` real ones, for the setting of
// TEVRIN_VIRTUAL_CAMERAS (null when unset): unset gives one standard 0x3280
// camera only on a machine without real cameras, so a user with a camera never
// sees a phantom second one; a setting gives exactly what it lists, an
// invalid one the standard camera.
std::vector<CameraConfig> CamerasFor(const char* setting, size_t realCameras);
std::vector<CameraConfig> CamerasFromEnvironment();

}  // namespace tevrin::virtualcam
