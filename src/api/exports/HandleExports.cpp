#include "api/exports/Export.h"
#include "instance/Tevrin.h"

namespace {
CSdkChain registry{&MakeCameraDevice};
}  // namespace

CSdkChain& Registry() {
  return registry;
}

TEVRIN_EXPORT int Tevrin_Initialize(HWND notifyWindow) {
  const std::int32_t handle = registry.Create();
  if (handle == 0) return 0;
  // The handle stands even when the camera could not be prepared; the
  // application learns why from the error history.
  Forward(handle, 0, [&](CTevrin& instance) { return instance.Initialize(notifyWindow); });
  return handle;
}

TEVRIN_EXPORT int Tevrin_Release(int handle) {
  std::unique_ptr<CTevrin> instance = registry.Release(handle);
  return instance ? 1 : 0;
}

TEVRIN_EXPORT int Tevrin_GetDllVersion(void) {
  return 35128609;
}

TEVRIN_EXPORT int Tevrin_GetLastError(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.PopError(); });
}

TEVRIN_EXPORT int Tevrin_GetStatus(int) {
  return 0;
}

TEVRIN_EXPORT int Tevrin_Close(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.Close(); });
}
