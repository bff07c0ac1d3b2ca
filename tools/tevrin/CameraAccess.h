// Cameras that are plugged in but cannot be opened (no permission, claimed by
// another program): the SDK's scan passes over them, so `tevrin list` says
// why each one is missing and what fixes it.
#pragma once

#include <string>
#include <vector>

namespace tevrin::tool {

// One line per such camera, with the reason and the fix.
std::vector<std::string> DescribeUnopenableCameras();

}  // namespace tevrin::tool
