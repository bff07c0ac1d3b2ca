// Enumeration of device interfaces by class GUID: a snapshot of the paths the
// registered drivers report present when the set is made.
#include <setupapi.h>
#include <tevrin/win32/Driver.h>
#include <tevrin/win32/KernelObject.h>

#include <cstddef>
#include <cstring>

namespace tevrin::win32 {
namespace {

class DeviceInfoSet final : public KernelObject {
 public:
  DeviceInfoSet(const GUID& interfaceClass, std::vector<std::string> paths)
      : interfaceClass(interfaceClass), paths(std::move(paths)) {}
  const GUID interfaceClass;
  const std::vector<std::string> paths;
};

// The fixed part of SP_DEVICE_INTERFACE_DETAIL_DATA_A as 64-bit Windows sizes it.
constexpr DWORD kDetailFixedSize = 8;
constexpr DWORD kDetailPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
constexpr DWORD kInterfaceActive = 1;  // SPINT_ACTIVE

bool SameGuid(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

std::shared_ptr<DeviceInfoSet> SetFromHandle(HDEVINFO set) {
  auto object = HandleTable::Instance().LookupAs<DeviceInfoSet>(static_cast<HANDLE>(set));
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

}  // namespace
}  // namespace tevrin::win32

using tevrin::win32::DeviceInfoSet;
using tevrin::win32::SetFromHandle;

extern "C" HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, PCSTR, HWND, DWORD flags) {
  // Only interface enumeration of one class is offered; every interface a
  // driver reports is present, so DIGCF_PRESENT changes nothing.
  if (classGuid == nullptr || (flags & DIGCF_DEVICEINTERFACE) == 0 || (flags & DIGCF_ALLCLASSES) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> paths;
  for (const auto& driver : tevrin::win32::RegisteredDrivers()) {
    auto found = driver->InterfacePaths(*classGuid);
    paths.insert(paths.end(), found.begin(), found.end());
  }
  SetLastError(ERROR_SUCCESS);
  return tevrin::win32::HandleTable::Instance().Insert(std::make_shared<DeviceInfoSet>(*classGuid, std::move(paths)));
}

extern "C" BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA,
                                                   const GUID* interfaceClassGuid, DWORD memberIndex,
                                                   PSP_DEVICE_INTERFACE_DATA data) {
  auto set = SetFromHandle(deviceInfoSet);
  if (!set) return FALSE;
  if (interfaceClassGuid == nullptr || data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
    SetLastError(data == nullptr || interfaceClassGuid == nullptr ? ERROR_INVALID_PARAMETER
                                                                  : ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (!tevrin::win32::SameGuid(*interfaceClassGuid, set->interfaceClass) || memberIndex >= set->paths.size()) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  data->InterfaceClassGuid = set->interfaceClass;
  data->Flags = tevrin::win32::kInterfaceActive;
  data->Reserved = memberIndex + 1;  // names the member for the detail call
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

extern "C" BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO deviceInfoSet, PSP_DEVICE_INTERFACE_DATA data,
                                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                                        PDWORD requiredSize, PSP_DEVINFO_DATA) {
  auto set = SetFromHandle(deviceInfoSet);
  if (!set) return FALSE;
  if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) || data->Reserved == 0 ||
      data->Reserved > set->paths.size()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string& path = set->paths[data->Reserved - 1];
  const DWORD needed = tevrin::win32::kDetailPathOffset + static_cast<DWORD>(path.size()) + 1;
  if (requiredSize) *requiredSize = needed;
  if (detail == nullptr) {
    SetLastError(detailSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (detailSize < tevrin::win32::kDetailFixedSize || detail->cbSize != tevrin::win32::kDetailFixedSize) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (detailSize < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  // DevicePath is declared with one element; the caller sized the record for the whole path.
  std::memcpy(reinterpret_cast<char*>(detail) + tevrin::win32::kDetailPathOffset, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

extern "C" BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet) {
  if (!SetFromHandle(deviceInfoSet)) return FALSE;
  tevrin::win32::HandleTable::Instance().Remove(static_cast<HANDLE>(deviceInfoSet));
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
