// Cameras on the camera driver's interface that the SDK does not serve: it
// opens one product ID and lists no other, so `tevrin list` names the rest
// rather than leave a plugged-in camera unexplained.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tevrin::tool {

// Present cameras of every product ID but the served one, counted per ID.
std::map<uint16_t, int> CountOtherProducts();

// "also present, not served by this SDK: product 0x3290 (1 camera)", one
// entry per product ID; empty when there are none.
std::string DescribeOtherProducts(const std::map<uint16_t, int>& counts);

}  // namespace tevrin::tool
