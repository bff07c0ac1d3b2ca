// Our names for the camera models, by USB product ID.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tevrin::usb {

// "<model>_<ordinal as two digits>", or empty when the product has no name.
std::optional<std::string> FormatDeviceName(uint16_t productId, int ordinal);

}  // namespace tevrin::usb
