#include "Settings.h"

#include <TevrinSdk_Halden.h>

#include <array>

#include "Session.h"

namespace tevrin::tool {
namespace {

using Access = Setting::Access;

constexpr auto kSettings = std::to_array<Setting>({
    {"exposure", Access::kExposure, 0, true, "exposure time in microseconds (kept in 100 us steps)"},
    {"gain", Access::kFilter, TEVRIN_FILTER_GLOBAL_GAIN, true, "global gain; also sets the four colour gains"},
    {"mirror-h", Access::kMirrorH, 0, true, "horizontal mirror, 0 or 1"},
    {"mirror-v", Access::kMirrorV, 0, true, "vertical mirror, 0 or 1"},
    {"auto-iris", Access::kAutoIris, 0, true, "automatic exposure: 0 off, 1 by exposure, 2 by gain"},
    {"brightness", Access::kFilter, TEVRIN_FILTER_BRIGHTNESS, true, "-255..255"},
    {"contrast", Access::kFilter, TEVRIN_FILTER_CONTRAST, true, "-127..127"},
    {"hue", Access::kFilter, TEVRIN_FILTER_HUE, true, "-360..360"},
    {"saturation", Access::kFilter, TEVRIN_FILTER_SATURATION, true, "-255..255"},
    {"sharpness", Access::kFilter, TEVRIN_FILTER_SHARPNESS, true, "0..30"},
    {"gamma", Access::kFilter, TEVRIN_FILTER_GAMMA, true, "0..200, 100 = linear"},
    {"bayer-mode", Access::kFilter, TEVRIN_FILTER_BAYER_MODE, true, "0..3"},
    {"bayer-gain-red", Access::kFilter, TEVRIN_FILTER_BAYER_GAIN_RED, true, "0..400, 100 = x1"},
    {"bayer-gain-green", Access::kFilter, TEVRIN_FILTER_BAYER_GAIN_GREEN, true, "0..400, 100 = x1"},
    {"bayer-gain-blue", Access::kFilter, TEVRIN_FILTER_BAYER_GAIN_BLUE, true, "0..400, 100 = x1"},
    {"bayer-gain-auto", Access::kFilter, TEVRIN_FILTER_BAYER_GAIN_AUTO, false, "0 or 1"},
    {"color-gain-red", Access::kFilter, TEVRIN_FILTER_COLOR_GAIN_RED, true, "the camera's colour-gain range"},
    {"color-gain-green1", Access::kFilter, TEVRIN_FILTER_COLOR_GAIN_GREEN1, true, "the camera's colour-gain range"},
    {"color-gain-green2", Access::kFilter, TEVRIN_FILTER_COLOR_GAIN_GREEN2, true, "the camera's colour-gain range"},
    {"color-gain-blue", Access::kFilter, TEVRIN_FILTER_COLOR_GAIN_BLUE, true, "the camera's colour-gain range"},
    {"gray-mode", Access::kFilter, TEVRIN_FILTER_GRAY_MODE, true, "0..2"},
    {"gray-gain-r", Access::kFilter, TEVRIN_FILTER_GRAY_GAIN_R, true, "0..255, 128 = x1"},
    {"gray-gain-g1", Access::kFilter, TEVRIN_FILTER_GRAY_GAIN_G1, true, "0..255, 128 = x1"},
    {"gray-gain-g2", Access::kFilter, TEVRIN_FILTER_GRAY_GAIN_G2, true, "0..255, 128 = x1"},
    {"gray-gain-b", Access::kFilter, TEVRIN_FILTER_GRAY_GAIN_B, true, "0..255, 128 = x1"},
    {"gray-offset-r", Access::kFilter, TEVRIN_FILTER_GRAY_OFFSET_R, true, "-255..255"},
    {"gray-offset-g1", Access::kFilter, TEVRIN_FILTER_GRAY_OFFSET_G1, true, "-255..255"},
    {"gray-offset-g2", Access::kFilter, TEVRIN_FILTER_GRAY_OFFSET_G2, true, "-255..255"},
    {"gray-offset-b", Access::kFilter, TEVRIN_FILTER_GRAY_OFFSET_B, true, "-255..255"},
    {"gray-auto-gain-once", Access::kFilterSetOnly, TEVRIN_FILTER_GRAY_AUTO_GAIN_ONCE, false,
     "1 = balance the gray gains on the next frame"},
    {"dot-filter", Access::kFilter, TEVRIN_FILTER_DOT_FILTER, false, "0 or 1"},
    {"mask-filter", Access::kFilter, TEVRIN_FILTER_MASK_FILTER, false, "defect masking, 0 or 1"},
    {"peltier", Access::kFilter, TEVRIN_FILTER_PELTIER, false, "cooler, on cameras that have one"},
    {"black-level", Access::kFilter, TEVRIN_FILTER_BLACK_LEVEL, true, "the sensor's black level"},
});

// The mirror getters carry no success flag: a failure shows as a new code.
std::optional<int> ReadMirror(int handle, int (*get)(int)) {
  DrainErrors(handle);
  int value = get(handle);
  if (Tevrin_GetLastError(handle) != 0) return std::nullopt;
  return value;
}

}  // namespace

std::span<const Setting> Settings() {
  return kSettings;
}

const Setting* FindSetting(std::string_view name) {
  for (const Setting& setting : kSettings) {
    if (setting.name == name) return &setting;
  }
  return nullptr;
}

std::optional<int> ReadSetting(int handle, const Setting& setting) {
  int ok = 0;
  int value = 0;
  switch (setting.access) {
    case Access::kFilter:
      value = Tevrin_GetFilterValue(handle, setting.filterId, &ok);
      break;
    case Access::kFilterSetOnly:
      return std::nullopt;
    case Access::kExposure:
      value = Tevrin_GetRealExposureTime(handle, &ok);
      break;
    case Access::kMirrorH:
      return ReadMirror(handle, Tevrin_GetMirrorH);
    case Access::kMirrorV:
      return ReadMirror(handle, Tevrin_GetMirrorV);
    case Access::kAutoIris:
      value = Tevrin_GetAutoIris(handle, &ok);
      break;
  }
  if (!ok) return std::nullopt;
  return value;
}

bool WriteSetting(int handle, const Setting& setting, int value) {
  switch (setting.access) {
    case Access::kFilter:
    case Access::kFilterSetOnly:
      return Tevrin_SetFilterValue(handle, setting.filterId, value) != 0;
    case Access::kExposure:
      return Tevrin_SetRealExposureTime(handle, value) != 0;
    case Access::kMirrorH:
      return Tevrin_SetMirrorH(handle, value) != 0;
    case Access::kMirrorV:
      return Tevrin_SetMirrorV(handle, value) != 0;
    case Access::kAutoIris:
      return Tevrin_SetAutoIris(handle, value) != 0;
  }
  return false;
}

}  // namespace tevrin::tool
