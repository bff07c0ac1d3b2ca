#pragma once

#include <windows.h>

// A CRITICAL_SECTION owned for the lifetime of the object.
class CCriticalSection {
 public:
  CCriticalSection() { InitializeCriticalSection(&section_); }
  ~CCriticalSection() { DeleteCriticalSection(&section_); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  void lock() { EnterCriticalSection(&section_); }
  void unlock() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};
