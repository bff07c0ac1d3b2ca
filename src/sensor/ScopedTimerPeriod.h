// A 1 ms system timer period for the life of the object, so that the short
// sleeps between register writes last what they say.
#pragma once

#include <windows.h>

class ScopedTimerPeriod {
 public:
  ScopedTimerPeriod() { timeBeginPeriod(1); }
  ~ScopedTimerPeriod() { timeEndPeriod(1); }
  ScopedTimerPeriod(const ScopedTimerPeriod&) = delete;
  ScopedTimerPeriod& operator=(const ScopedTimerPeriod&) = delete;
};
