#include "api/exports/Export.h"

namespace {

constexpr int kEnumEntries = 10;
constexpr int kNameSize = 256;

// The wide name exports read the narrow name into a buffer of their own and
// convert it for the caller; the narrow call's own failure (already recorded)
// leaves the name empty, which is still converted and returned as success.
template <typename NarrowRead>
int ReadWideName(CTevrin& instance, wchar_t* name, int size, int narrowSize, NarrowRead&& read) {
  char narrow[kNarrowTextSize] = {};
  read(narrow, narrowSize);
  if (!ToWide(narrow, CP_THREAD_ACP, name, size)) return instance.RecordError(TEVRIN_ERROR_TEXT_OR_FILE);
  return 1;
}

}  // namespace

TEVRIN_EXPORT int Tevrin_SetDeviceNumber(int handle, int number) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetDeviceNumber(number); });
}

TEVRIN_EXPORT int Tevrin_EnumDevice(int handle, char names[10][256]) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.EnumDevice(names); });
}

TEVRIN_EXPORT int Tevrin_EnumDeviceW(int handle, wchar_t names[10][256]) {
  return Forward(handle, 0, [&](CTevrin& instance) {
    if (!names) return instance.RecordError(TEVRIN_ERROR_ARGUMENT);
    char narrow[kEnumEntries][kNameSize] = {};
    const int count = instance.EnumDevice(narrow);
    for (int entry = 0; entry < kEnumEntries; ++entry) {
      if (entry >= count || !ToWide(narrow[entry], CP_ACP, names[entry], kNameSize)) names[entry][0] = L'\0';
    }
    return count;
  });
}

TEVRIN_EXPORT int Tevrin_GetDeviceName(int handle, int index, char* name, int size) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.GetDeviceName(index, name, size); });
}

TEVRIN_EXPORT int Tevrin_GetDeviceNameW(int handle, int index, wchar_t* name, int size) {
  return Forward(handle, 0, [&](CTevrin& instance) {
    return ReadWideName(instance, name, size, kNameSize,
                        [&](char* narrow, int narrowSize) { instance.GetDeviceName(index, narrow, narrowSize); });
  });
}

TEVRIN_EXPORT int Tevrin_ReadSerialNumberA(int handle, char* serial, int size) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.ReadSerialNumber(serial, size); });
}

TEVRIN_EXPORT int Tevrin_ReadSerialNumberW(int handle, wchar_t* serial, int size) {
  return Forward(handle, 0, [&](CTevrin& instance) {
    return ReadWideName(instance, serial, size, kNarrowTextSize,
                        [&](char* narrow, int narrowSize) { instance.ReadSerialNumber(narrow, narrowSize); });
  });
}

TEVRIN_EXPORT int Tevrin_GetCameraInfo(int handle, CameraInfo* info) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.GetCameraInfo(info); });
}
