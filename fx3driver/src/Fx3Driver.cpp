#include <tevrin/fx3driver/Fx3Driver.h>
#include <tevrin/hardware/Fx3Requests.h>

#include <strings.h>
#include <cstdio>
#include <cstring>

#include "Fx3Device.h"

namespace tevrin::fx3driver {

namespace hw = tevrin::hardware;

std::string DevicePath(uint16_t vendorId, uint16_t productId, const std::string& port) {
  const auto& g = hw::kFx3InterfaceGuid;
  char guid[40];
  std::snprintf(guid, sizeof(guid), "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", g.data1, g.data2, g.data3,
                g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  char ids[32];
  std::snprintf(ids, sizeof(ids), "vid_%04x&pid_%04x", vendorId, productId);
  return std::string("\\\\?\\usb#") + ids + "#" + port + "#" + guid;
}

GUID Fx3InterfaceGuid() {
  GUID guid;
  static_assert(sizeof(guid) == sizeof(hw::kFx3InterfaceGuid));
  std::memcpy(&guid, &hw::kFx3InterfaceGuid, sizeof(guid));
  return guid;
}

std::vector<std::string> Fx3Driver::InterfacePaths(const GUID& interfaceClass) {
  std::vector<std::string> paths;
  const GUID fx3 = Fx3InterfaceGuid();
  if (std::memcmp(&interfaceClass, &fx3, sizeof(GUID)) != 0) return paths;
  for (const auto& device : bus_->Present()) paths.push_back(DevicePath(device.vendorId, device.productId, device.port));
  return paths;
}

std::unique_ptr<win32::DeviceHandle> Fx3Driver::Open(const std::string& path, DWORD, DWORD& error) {
  error = ERROR_FILE_NOT_FOUND;
  for (const auto& device : bus_->Present()) {
    // Windows compares interface paths without regard to case.
    if (strcasecmp(DevicePath(device.vendorId, device.productId, device.port).c_str(), path.c_str()) != 0) continue;
    OpenFailure failure = OpenFailure::kNone;
    auto opened = bus_->Open(device.port, failure);
    if (opened) return std::make_unique<Fx3Device>(std::move(opened));
    switch (failure) {
      case OpenFailure::kAccessDenied:
        error = ERROR_ACCESS_DENIED;
        break;
      case OpenFailure::kBusy:
        error = ERROR_SHARING_VIOLATION;
        break;
      case OpenFailure::kOther:
        error = ERROR_GEN_FAILURE;
        break;
      case OpenFailure::kNone:
      case OpenFailure::kNotFound:
        break;
    }
    return nullptr;
  }
  return nullptr;
}

}  // namespace tevrin::fx3driver
