#pragma once

#include <string>

// The units in which the analog page shows an exposure time in seconds.
enum class ExposureUnit { Nanoseconds, Microseconds, Milliseconds, Seconds };

// "sec" above 1 s, "ms" from 1 ms, "μs" from 1 μs, else "ns".
ExposureUnit UnitOf(double seconds);
const char* UnitLabel(ExposureUnit unit);
// How many of the unit make a second.
double UnitsPerSecond(ExposureUnit unit);
// The time in a unit: three decimals when its fraction reaches 0.001, six
// when it reaches 0.000001, else a whole number.
std::string FormatInUnit(double seconds, ExposureUnit unit);
// "range: 20μs - 2sec": each end as a whole number in its own unit.
std::string RangeLabel(double minSeconds, double maxSeconds);
