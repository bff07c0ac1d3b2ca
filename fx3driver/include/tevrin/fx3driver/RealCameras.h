// The cameras on the machine's USB buses. Loading the library registers the
// FX3 driver over libusb with the platform, ahead of any virtual camera.
#pragma once

#include <cstddef>

namespace tevrin::fx3driver {

// Cameras of the family present now (0 without USB).
size_t RealCameraCount();

}  // namespace tevrin::fx3driver
