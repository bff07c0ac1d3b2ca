#include "CameraInterfaces.h"

#include <setupapi.h>
#include <windows.h>

#include <cstddef>
#include <optional>

namespace tevrin::tool {
namespace {

// The camera driver's device interface class, {328184C5-93E6-49B7-94B8-2ADA13AABB39}.
constexpr GUID kCameraInterface = {0x328184C5, 0x93E6, 0x49B7, {0x94, 0xB8, 0x2A, 0xDA, 0x13, 0xAA, 0xBB, 0x39}};

std::optional<std::string> PathOfInterface(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interface) {
  DWORD required = 0;
  SetupDiGetDeviceInterfaceDetailA(set, &interface, nullptr, 0, &required, nullptr);
  constexpr size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  if (required <= kPathOffset + 1) return std::nullopt;
  std::vector<char> buffer(required + 1, '\0');
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!SetupDiGetDeviceInterfaceDetailA(set, &interface, detail, required, nullptr, nullptr)) return std::nullopt;
  return std::string(detail->DevicePath);
}

}  // namespace

std::vector<std::string> CameraInterfacePaths() {
  std::vector<std::string> paths;
  HDEVINFO set = SetupDiGetClassDevsA(&kCameraInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE || set == nullptr) return paths;
  SP_DEVICE_INTERFACE_DATA interface {};
  interface.cbSize = sizeof interface;
  for (DWORD member = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &kCameraInterface, member, &interface); ++member) {
    if (auto path = PathOfInterface(set, interface)) paths.push_back(*path);
  }
  SetupDiDestroyDeviceInfoList(set);
  return paths;
}

}  // namespace tevrin::tool
