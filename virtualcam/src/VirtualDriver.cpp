#include "VirtualDriver.h"

#include <tevrin/win32/DeviceNotify.h>

#include <strings.h>
#include <cstring>
#include <type_traits>

namespace tevrin::virtualcam {
namespace {

class CameraHandle final : public win32::DeviceHandle {
 public:
  CameraHandle(std::shared_ptr<VirtualCamera> camera, uint64_t generation)
      : camera_(std::move(camera)), generation_(generation) {}
  void Submit(const std::shared_ptr<win32::IoRequest>& request) override { camera_->Submit(request, generation_); }
  void Cancel(const std::shared_ptr<win32::IoRequest>& request) override { camera_->Cancel(request); }

 private:
  const std::shared_ptr<VirtualCamera> camera_;
  const uint64_t generation_;
};

GUID Fx3Guid() {
  GUID guid;
  static_assert(sizeof(guid) == sizeof(hardware::kFx3InterfaceGuid));
  std::memcpy(&guid, &hardware::kFx3InterfaceGuid, sizeof(guid));
  return guid;
}

}  // namespace

VirtualDriver& VirtualDriver::Instance() {
  // Owned by the platform's registry, which outlives every user.
  static VirtualDriver* driver = [] {
    auto created = std::make_shared<VirtualDriver>();
    created->Replace(CamerasFromEnvironment());
    win32::RegisterDriver(created);
    return created.get();
  }();
  return *driver;
}

std::vector<std::string> VirtualDriver::InterfacePaths(const GUID& interfaceClass) {
  std::vector<std::string> paths;
  GUID fx3 = Fx3Guid();
  if (std::memcmp(&interfaceClass, &fx3, sizeof(GUID)) != 0) return paths;
  std::lock_guard lock(mutex_);
  for (const auto& camera : cameras_) {
    if (camera->IsPlugged()) paths.push_back(camera->path());
  }
  return paths;
}

std::unique_ptr<win32::DeviceHandle> VirtualDriver::Open(const std::string& path, DWORD, DWORD& error) {
  std::lock_guard lock(mutex_);
  for (const auto& camera : cameras_) {
    uint64_t generation = 0;
    // Windows compares interface paths without regard to case.
    if (strcasecmp(camera->path().c_str(), path.c_str()) == 0 && camera->Open(generation)) {
      return std::make_unique<CameraHandle>(camera, generation);
    }
  }
  error = ERROR_FILE_NOT_FOUND;
  return nullptr;
}

void VirtualDriver::Replace(const std::vector<CameraConfig>& configs) {
  std::vector<std::shared_ptr<VirtualCamera>> cameras;
  for (size_t i = 0; i < configs.size(); ++i) cameras.push_back(std::make_shared<VirtualCamera>(configs[i], int(i)));
  std::vector<std::shared_ptr<VirtualCamera>> old;
  {
    std::lock_guard lock(mutex_);
    old.swap(cameras_);
    cameras_ = std::move(cameras);
  }
  // Open handles keep an old camera alive; it answers them as unplugged.
  for (const auto& camera : old) camera->SetPlugged(false);
}

std::shared_ptr<VirtualCamera> VirtualDriver::Camera(size_t index) {
  std::lock_guard lock(mutex_);
  return index < cameras_.size() ? cameras_[index] : nullptr;
}

size_t VirtualDriver::Count() {
  std::lock_guard lock(mutex_);
  return cameras_.size();
}

namespace {
// Registers the driver as soon as the library is loaded, before main.
[[maybe_unused]] const bool registered = (VirtualDriver::Instance(), true);

// Runs `action` on the camera; a number that names no camera does nothing and gives the zero value.
template <class Action>
auto WithCamera(size_t index, Action action) {
  using Result = decltype(action(std::declval<VirtualCamera&>()));
  auto camera = VirtualDriver::Instance().Camera(index);
  if constexpr (std::is_void_v<Result>) {
    if (camera) action(*camera);
  } else {
    return camera ? action(*camera) : Result{};
  }
}

void SetPlugged(size_t index, bool plugged) {
  auto camera = VirtualDriver::Instance().Camera(index);
  if (!camera || camera->IsPlugged() == plugged) return;
  camera->SetPlugged(plugged);
  GUID fx3 = Fx3Guid();
  win32::NotifyDeviceInterfaceChange(plugged, fx3, camera->path().c_str());
}
}  // namespace

bool Configure(const std::string& cameraList) {
  std::string error;
  auto configs = ParseCameraList(cameraList, error);
  if (!configs) return false;
  auto& driver = VirtualDriver::Instance();
  GUID fx3 = Fx3Guid();
  std::vector<std::string> removed = driver.InterfacePaths(fx3);
  driver.Replace(*configs);
  for (const auto& path : removed) win32::NotifyDeviceInterfaceChange(false, fx3, path.c_str());
  for (const auto& path : driver.InterfacePaths(fx3)) win32::NotifyDeviceInterfaceChange(true, fx3, path.c_str());
  return true;
}

size_t CameraCount() {
  return VirtualDriver::Instance().Count();
}
std::string DevicePath(size_t camera) {
  return WithCamera(camera, [](VirtualCamera& c) { return c.path(); });
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
