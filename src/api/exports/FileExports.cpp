#include "api/exports/Export.h"

TEVRIN_EXPORT int Tevrin_SaveImage(int handle, const char* path, int format) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SaveImage(path, format); });
}

TEVRIN_EXPORT int Tevrin_SaveImageW(int handle, const wchar_t* path, int format) {
  return ForwardWide(handle, path,
                     [&](CTevrin& instance, const char* narrow) { return instance.SaveImage(narrow, format); });
}

TEVRIN_EXPORT int Tevrin_LoadMaskFile(int handle, const char* path) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.LoadMaskFile(path); });
}

TEVRIN_EXPORT int Tevrin_SaveMaskFile(int handle, const char* path) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SaveMaskFile(path); });
}

TEVRIN_EXPORT int Tevrin_LoadMaskFileW(int handle, const wchar_t* path) {
  return ForwardWide(handle, path, [](CTevrin& instance, const char* narrow) { return instance.LoadMaskFile(narrow); });
}

TEVRIN_EXPORT int Tevrin_SaveMaskFileW(int handle, const wchar_t* path) {
  return ForwardWide(handle, path, [](CTevrin& instance, const char* narrow) { return instance.SaveMaskFile(narrow); });
}

TEVRIN_EXPORT int Tevrin_UpdateMaskData(int handle, int kind) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.UpdateMaskData(kind); });
}

TEVRIN_EXPORT int Tevrin_SetCameraDlg(int handle, HWND parent) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetCameraDlg(parent); });
}

TEVRIN_EXPORT int Tevrin_SetAnalogDlg(int handle, HWND parent) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetAnalogDlg(parent); });
}

TEVRIN_EXPORT int Tevrin_SetImageDlg(int handle, HWND parent) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetImageDlg(parent); });
}

TEVRIN_EXPORT int Tevrin_LoadConfigFileA(int handle, const char* path) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.LoadConfigFile(path); });
}

TEVRIN_EXPORT int Tevrin_LoadConfigFileW(int handle, const wchar_t* path) {
  return ForwardWide(handle, path,
                     [](CTevrin& instance, const char* narrow) { return instance.LoadConfigFile(narrow); });
}

TEVRIN_EXPORT int Tevrin_SetConfigFilter(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.UnsupportedRecorded(-1); });
}

TEVRIN_EXPORT int Tevrin_GetConfigFilter(int handle) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.UnsupportedRecorded(-1); });
}

// One entry point under two names: the camera has no text channel.
TEVRIN_EXPORT int Tevrin_SendText(int handle, const char*) {
  return Forward(handle, 0, [](CTevrin& instance) { return instance.UnsupportedRecorded(0); });
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattribute-alias"
TEVRIN_EXPORT int Tevrin_ReceiveText(int handle, char* text, int size) __attribute__((alias("Tevrin_SendText")));
#pragma GCC diagnostic pop
