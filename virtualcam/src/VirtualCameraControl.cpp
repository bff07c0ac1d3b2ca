// The control header's functions: the cameras on the virtual bus, their
// plugging (with the device notifications a real plug sends) and fault injection.
#include <tevrin/fx3driver/Fx3Driver.h>
#include <tevrin/virtualcam/VirtualCameras.h>
#include <tevrin/win32/DeviceNotify.h>

#include <type_traits>

#include "VirtualBus.h"

namespace tevrin::virtualcam {
namespace {
// Registers the driver as soon as the library is loaded, before main.
[[maybe_unused]] const bool registered = (VirtualBus::Instance(), true);

// Runs `action` on the camera; a number that names no camera does nothing and gives the zero value.
template <class Action>
auto WithCamera(size_t index, Action action) {
  using Result = decltype(action(std::declval<VirtualCamera&>()));
  auto camera = VirtualBus::Instance().Camera(index);
  if constexpr (std::is_void_v<Result>) {
    if (camera) action(*camera);
  } else {
    return camera ? action(*camera) : Result{};
  }
}

void SetPlugged(size_t index, bool plugged) {
  auto camera = VirtualBus::Instance().Camera(index);
  if (!camera || camera->IsPlugged() == plugged) return;
  camera->SetPlugged(plugged);
  win32::NotifyDeviceInterfaceChange(plugged, fx3driver::Fx3InterfaceGuid(), PathOf(*camera).c_str());
}
}  // namespace

bool Configure(const std::string& cameraList) {
  std::string error;
  auto configs = ParseCameraList(cameraList, error);
  if (!configs) return false;
  auto& bus = VirtualBus::Instance();
  const GUID fx3 = fx3driver::Fx3InterfaceGuid();
  auto paths = [&bus] {
    std::vector<std::string> paths;
    for (const auto& device : bus.Present())
      paths.push_back(fx3driver::DevicePath(device.vendorId, device.productId, device.port));
    return paths;
  };
  std::vector<std::string> removed = paths();
  bus.Replace(*configs);
  for (const auto& path : removed) win32::NotifyDeviceInterfaceChange(false, fx3, path.c_str());
  for (const auto& path : paths()) win32::NotifyDeviceInterfaceChange(true, fx3, path.c_str());
  return true;
}

size_t CameraCount() {
  return VirtualBus::Instance().Count();
}
std::string DevicePath(size_t camera) {
  return WithCamera(camera, [](VirtualCamera& c) { return PathOf(c); });
}
void Unplug(size_t camera) {
  SetPlugged(camera, false);
}
void Plug(size_t camera) {
  SetPlugged(camera, true);
}
void StallStream(size_t camera, bool stalled) {
  WithCamera(camera, [&](VirtualCamera& c) { c.StallStream(stalled); });
}
void FailNextFrameHeaders(size_t camera, int count) {
  WithCamera(camera, [&](VirtualCamera& c) { c.FailNextFrameHeaders(count); });
}
void FailNextTransfers(size_t camera, int count) {
  WithCamera(camera, [&](VirtualCamera& c) { c.FailNextTransfers(count); });
}
void ShortenNextTransfer(size_t camera, uint32_t missingBytes) {
  WithCamera(camera, [&](VirtualCamera& c) { c.ShortenNextTransfer(missingBytes); });
}
void PulseTrigger(size_t camera) {
  WithCamera(camera, [](VirtualCamera& c) { c.PulseTrigger(); });
}
void SetInputs(size_t camera, uint8_t lines) {
  WithCamera(camera, [&](VirtualCamera& c) { c.SetInputs(lines); });
}
uint8_t Outputs(size_t camera) {
  return WithCamera(camera, [](VirtualCamera& c) { return c.Outputs(); });
}
uint8_t BoardRegister(size_t camera, uint8_t reg) {
  return WithCamera(camera, [&](VirtualCamera& c) { return c.BoardRegister(reg); });
}
uint8_t SensorRegister(size_t camera, uint16_t address) {
  return WithCamera(camera, [&](VirtualCamera& c) { return c.SensorRegister(address); });
}
void SetSensorTemperature(size_t camera, double celsius) {
  WithCamera(camera, [&](VirtualCamera& c) { c.SetSensorTemperature(celsius); });
}
void SetFpgaTemperature(size_t camera, double celsius) {
  WithCamera(camera, [&](VirtualCamera& c) { c.SetFpgaTemperature(celsius); });
}
void HoldSensorBus(size_t camera, bool held) {
  WithCamera(camera, [&](VirtualCamera& c) { c.HoldSensorBus(held); });
}
void JamSensorBus(size_t camera, bool jammed) {
  WithCamera(camera, [&](VirtualCamera& c) { c.JamSensorBus(jammed); });
}
uint32_t FrameCounter(size_t camera) {
  return WithCamera(camera, [](VirtualCamera& c) { return c.FrameCounter(); });
}

uint16_t ColorSensorRegister(size_t camera, uint16_t address) {
  return WithCamera(camera, [&](VirtualCamera& c) { return c.ColorSensorRegister(address); });
}
uint8_t AuxRegister(size_t camera, uint8_t reg) {
  return WithCamera(camera, [&](VirtualCamera& c) { return c.AuxRegister(reg); });
}
uint32_t WideRegister(size_t camera, uint16_t address) {
  return WithCamera(camera, [&](VirtualCamera& c) { return c.WideRegister(address); });
}
void SetBoardRegister(size_t camera, uint8_t reg, uint8_t value) {
  WithCamera(camera, [&](VirtualCamera& c) { c.SetBoardRegister(reg, value); });
}
void SetReadyFlag(size_t camera, bool ready) {
  WithCamera(camera, [&](VirtualCamera& c) { c.SetReadyFlag(ready); });
}

}  // namespace tevrin::virtualcam
