// The driver the platform's device I/O reaches for virtual camera paths.
#pragma once

#include <tevrin/win32/Driver.h>

#include <memory>
#include <mutex>
#include <vector>

#include "CameraConfig.h"
#include "VirtualCamera.h"

namespace tevrin::virtualcam {

class VirtualDriver final : public win32::Driver {
 public:
  // The one instance, registered with the platform when the library loads.
  static VirtualDriver& Instance();

  std::vector<std::string> InterfacePaths(const GUID& interfaceClass) override;
  std::unique_ptr<win32::DeviceHandle> Open(const std::string& path, DWORD desiredAccess, DWORD& error) override;

  void Replace(const std::vector<CameraConfig>& configs);
  std::shared_ptr<VirtualCamera> Camera(size_t index);
  size_t Count();

 private:
  std::mutex mutex_;
  std::vector<std::shared_ptr<VirtualCamera>> cameras_;
};

}  // namespace tevrin::virtualcam
