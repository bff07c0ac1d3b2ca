#include "dialogs/ExposureUnits.h"

#include <cmath>
#include <cstdio>

ExposureUnit UnitOf(double seconds) {
  if (seconds > 1.0) return ExposureUnit::Seconds;
  if (seconds >= 0.001) return ExposureUnit::Milliseconds;
  if (seconds >= 0.000001) return ExposureUnit::Microseconds;
  return ExposureUnit::Nanoseconds;
}

const char* UnitLabel(ExposureUnit unit) {
  static constexpr const char* kLabels[] = {"ns", "μs", "ms", "sec"};
  return kLabels[static_cast<int>(unit)];
}

double UnitsPerSecond(ExposureUnit unit) {
  static constexpr double kScales[] = {1e9, 1e6, 1e3, 1.0};
  return kScales[static_cast<int>(unit)];
}

std::string FormatInUnit(double seconds, ExposureUnit unit) {
  // Rounded to a millionth of the unit, so that 0.00002 s is 20 μs, not 19.999999.
  const double value = std::round(seconds * UnitsPerSecond(unit) * 1e6) / 1e6;
  const double fraction = value - std::floor(value);
  char text[64];
  if (fraction >= 0.001) {
    std::snprintf(text, sizeof text, "%.3f", value);
  } else if (fraction >= 0.000001) {
    std::snprintf(text, sizeof text, "%.6f", value);
  } else {
    std::snprintf(text, sizeof text, "%.0f", value);
  }
  return text;
}

std::string RangeLabel(double minSeconds, double maxSeconds) {
  const ExposureUnit low = UnitOf(minSeconds);
  const ExposureUnit high = UnitOf(maxSeconds);
  char text[96];
  std::snprintf(text, sizeof text, "range: %.0f%s - %.0f%s", std::round(minSeconds * UnitsPerSecond(low)), UnitLabel(low),
                std::round(maxSeconds * UnitsPerSecond(high)), UnitLabel(high));
  return text;
}
