// The camera settings `tevrin get` and `tevrin set` know by name, and how each
// one reaches the SDK.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace tevrin::tool {

struct Setting {
  enum class Access { kFilter, kFilterSetOnly, kExposure, kMirrorH, kMirrorV, kAutoIris };

  std::string_view name;
  Access access;
  int filterId;  // for kFilter and kFilterSetOnly
  bool kept;     // stored with the camera's settings when the handle is released
  std::string_view meaning;
};

std::span<const Setting> Settings();
const Setting* FindSetting(std::string_view name);

// The setting's value, or nothing when the SDK refused (its code recorded).
std::optional<int> ReadSetting(int handle, const Setting& setting);
bool WriteSetting(int handle, const Setting& setting, int value);

}  // namespace tevrin::tool
