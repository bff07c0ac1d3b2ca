// The device interface paths of the camera driver's interface class, as the
// setup API lists them: every camera present, whether or not it can be opened.
#pragma once

#include <string>
#include <vector>

namespace tevrin::tool {

std::vector<std::string> CameraInterfacePaths();

}  // namespace tevrin::tool
