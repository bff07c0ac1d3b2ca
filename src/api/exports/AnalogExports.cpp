#include "api/exports/Export.h"

TEVRIN_EXPORT int Tevrin_SetExposureTimeEx(int handle, double seconds) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetExposureTimeEx(seconds); });
}

TEVRIN_EXPORT double Tevrin_GetExposureTimeEx(int handle, int* ok) {
  return ForwardOk(handle, ok, 0.0, [&](CTevrin& instance) { return instance.GetExposureTimeEx(ok); });
}

TEVRIN_EXPORT int Tevrin_SetRealExposureTime(int handle, int microseconds) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetRealExposureTime(microseconds); });
}

TEVRIN_EXPORT int Tevrin_GetRealExposureTime(int handle, int* ok) {
  return ForwardOk(handle, ok, 0, [&](CTevrin& instance) { return instance.GetRealExposureTime(ok); });
}

TEVRIN_EXPORT double Tevrin_GetTemperatureEx(int handle, int* ok) {
  return ForwardOk(handle, ok, 0.0, [&](CTevrin& instance) { return instance.GetTemperatureEx(ok); });
}

TEVRIN_EXPORT int Tevrin_SetAutoIris(int handle, int mode) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetAutoIris(mode); });
}

TEVRIN_EXPORT int Tevrin_GetAutoIris(int handle, int* ok) {
  return ForwardOk(handle, ok, 0, [&](CTevrin& instance) { return instance.GetAutoIris(ok); });
}

TEVRIN_EXPORT int Tevrin_GetInternalCorrection(int handle, int* ok) {
  return ForwardOk(handle, ok, 0, [&](CTevrin& instance) { return instance.GetInternalCorrection(ok); });
}

TEVRIN_EXPORT int Tevrin_SetInternalCorrection(int handle, int value) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetInternalCorrection(value); });
}

TEVRIN_EXPORT int Tevrin_Fpga_ReadRegister(int handle, int address, int* ok) {
  return ForwardOk(handle, ok, 0, [&](CTevrin& instance) { return instance.ReadFpgaRegister(address, ok); });
}

TEVRIN_EXPORT int Tevrin_Fpga_WriteRegister(int handle, int address, int value) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.WriteFpgaRegister(address, value); });
}

// The short register forms reach the first 256 sensor registers with 16-bit values.
TEVRIN_EXPORT int Tevrin_ReadRegister(int handle, int address, int* ok) {
  return ForwardOk(handle, ok, 0, [&](CTevrin& instance) { return instance.ReadSensorRegister(address & 0xFF, ok); });
}

TEVRIN_EXPORT int Tevrin_ReadRegisterEx(int handle, int address, int* ok) {
  return ForwardOk(handle, ok, 0, [&](CTevrin& instance) { return instance.ReadSensorRegister(address, ok); });
}

TEVRIN_EXPORT int Tevrin_WriteRegister(int handle, int address, int value) {
  return Forward(handle, 0,
                 [&](CTevrin& instance) { return instance.WriteSensorRegister(address & 0xFF, value & 0xFFFF); });
}

TEVRIN_EXPORT int Tevrin_WriteRegisterEx(int handle, int address, int value) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.WriteSensorRegister(address, value); });
}

TEVRIN_EXPORT int Tevrin_ReadSromID(int handle, int address, int* ok) {
  return ForwardOk(handle, ok, 0, [&](CTevrin& instance) { return instance.ReadSromId(address, ok); });
}

TEVRIN_EXPORT int Tevrin_WriteSromID(int handle, int address, int value) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.WriteSromId(address, value); });
}

TEVRIN_EXPORT int Tevrin_GetIOPort(int handle, BYTE* value) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.GetIOPort(value); });
}

TEVRIN_EXPORT int Tevrin_SetIOPort(int handle, int value) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetIOPort(value); });
}
