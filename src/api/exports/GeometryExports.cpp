#include "api/exports/Export.h"

TEVRIN_EXPORT int Tevrin_Width(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.Width(); });
}

TEVRIN_EXPORT int Tevrin_Height(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.Height(); });
}

TEVRIN_EXPORT int Tevrin_SetCaptureWindow(int handle, int width, int height) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetCaptureWindow(width, height); });
}

TEVRIN_EXPORT int Tevrin_SetCaptureWindowEx(int handle, int hTotal, int hStart, int hEffective, int vTotal, int vStart,
                                            int vEffective) {
  return Forward(handle, 0, [&](CTevrin& instance) {
    return instance.SetCaptureWindowEx(hTotal, hStart, hEffective, vTotal, vStart, vEffective);
  });
}

TEVRIN_EXPORT int Tevrin_GetCaptureWindowEx(int handle, int* hTotal, int* hStart, int* hEffective, int* vTotal,
                                            int* vStart, int* vEffective) {
  return Forward(handle, 0, [&](CTevrin& instance) {
    return instance.GetCaptureWindowEx(hTotal, hStart, hEffective, vTotal, vStart, vEffective);
  });
}

TEVRIN_EXPORT int Tevrin_SetColorMode(int handle, int bits) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetColorMode(bits); });
}

TEVRIN_EXPORT int Tevrin_GetColorMode(int handle) {
  return Forward(handle, -1, [](CTevrin& instance) { return instance.GetColorMode(); });
}

TEVRIN_EXPORT int Tevrin_SetSubSample(int handle, int mode) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetSubSample(mode); });
}

TEVRIN_EXPORT int Tevrin_GetSubSample(int handle) {
  return Forward(handle, -1, [](CTevrin& instance) { return instance.GetSubSample(); });
}

TEVRIN_EXPORT int Tevrin_SetWaitTime(int handle, int ms) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetWaitTime(ms); });
}

TEVRIN_EXPORT int Tevrin_GetWaitTime(int handle) {
  return Forward(handle, -1, [](CTevrin& instance) { return instance.GetWaitTime(); });
}

TEVRIN_EXPORT int Tevrin_SetMirrorH(int handle, int on) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetMirrorH(on); });
}

TEVRIN_EXPORT int Tevrin_SetMirrorV(int handle, int on) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetMirrorV(on); });
}

TEVRIN_EXPORT int Tevrin_GetMirrorH(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.GetMirrorH(); });
}

TEVRIN_EXPORT int Tevrin_GetMirrorV(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.GetMirrorV(); });
}

TEVRIN_EXPORT int Tevrin_SetSamplingRate(int handle, int rate) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetSamplingRate(rate); });
}

// One entry point under two names: the camera has a single fixed format.
TEVRIN_EXPORT int Tevrin_GetSamplingRate(int handle, int* value) {
  return Forward(handle, 0, [&](CTevrin&) {
    if (value) *value = 0;
    return 0;
  });
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattribute-alias"
TEVRIN_EXPORT int Tevrin_GetVideoFormat(int handle, int* value) __attribute__((alias("Tevrin_GetSamplingRate")));
#pragma GCC diagnostic pop

TEVRIN_EXPORT int Tevrin_SetPreviewWindow(int handle, HWND parent, int x, int y, int width, int height) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetPreviewWindow(parent, x, y, width, height); });
}
