#include "usb/ModelNames.h"

#include <array>
#include <cstdio>

namespace tevrin::usb {

namespace {

struct ModelName {
  uint16_t productId;
  const char* name;
};

// The IMX99x short-wave-infrared family; "U" marks the upright-mounted board.
constexpr std::array kModelNames = {
    ModelName{0x3260, "TevrinHalden990"},
    ModelName{0x3270, "TevrinHalden990U"},
    ModelName{0x3280, "TevrinHalden991"},
    ModelName{0x3290, "TevrinHalden991U"},
};

}  // namespace

std::optional<std::string> FormatDeviceName(uint16_t productId, int ordinal) {
  for (const ModelName& model : kModelNames) {
    if (model.productId != productId) continue;
    char text[64];
    std::snprintf(text, sizeof(text), "%s_%02d", model.name, ordinal);
    return std::string(text);
  }
  return std::nullopt;
}

}  // namespace tevrin::usb
