#include "api/exports/Export.h"

TEVRIN_EXPORT int Tevrin_Preview(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.Preview(); });
}

TEVRIN_EXPORT int Tevrin_CallBackPreview(int handle, HWND frameWindow, BYTE* buffer, int size, int rowOrder) {
  return Forward(handle, 0,
                 [&](CTevrin& instance) { return instance.CallBackPreview(frameWindow, buffer, size, rowOrder); });
}

TEVRIN_EXPORT int Tevrin_StartPreview(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.StartPreview(); });
}

TEVRIN_EXPORT int Tevrin_StopPreview(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.StopPreview(); });
}

TEVRIN_EXPORT int Tevrin_Capture(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.Capture(); });
}

TEVRIN_EXPORT int Tevrin_SnapShot(int handle, BYTE* buffer, int size, int rowOrder) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SnapShot(buffer, size, rowOrder); });
}

TEVRIN_EXPORT int Tevrin_Trigger(int handle, HWND frameWindow, BYTE* buffer, int size, int rowOrder) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.Trigger(frameWindow, buffer, size, rowOrder); });
}

TEVRIN_EXPORT int Tevrin_GetImage(int handle, BYTE* buffer, int size, int rowOrder) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.GetImage(buffer, size, rowOrder); });
}

TEVRIN_EXPORT int Tevrin_Record(int handle, const char* path, int durationMs, int showWindow) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.Record(path, durationMs, showWindow); });
}

// A missing path is the narrow form's argument error, not a failed conversion.
TEVRIN_EXPORT int Tevrin_RecordW(int handle, const wchar_t* path, int durationMs, int showWindow) {
  if (!path) return Tevrin_Record(handle, nullptr, durationMs, showWindow);
  return ForwardWide(handle, path, [&](CTevrin& instance, const char* narrow) {
    return instance.Record(narrow, durationMs, showWindow);
  });
}

// One entry point under four names: the camera has none of these controls.
TEVRIN_EXPORT int Tevrin_Fps(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.UnsupportedPostOnly(); });
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattribute-alias"
TEVRIN_EXPORT int Tevrin_GetHalfClock(int handle) __attribute__((alias("Tevrin_Fps")));
TEVRIN_EXPORT int Tevrin_SetHalfClock(int handle, int value) __attribute__((alias("Tevrin_Fps")));
TEVRIN_EXPORT int Tevrin_SetCrossbar(int handle, int value) __attribute__((alias("Tevrin_Fps")));
#pragma GCC diagnostic pop
