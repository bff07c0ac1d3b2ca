#include "usb/Fx3Api.h"

#include <setupapi.h>
#include <tevrin/hardware/Fx3Requests.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

#include "usb/DevicePath.h"
#include "usb/ModelNames.h"

using tevrin::usb::DeviceTableEntry;
using tevrin::usb::SharedDeviceBlock;

namespace {

// The process's private copy of the shared block, shared by all its controllers.
SharedDeviceBlock g_table{};
std::mutex g_tableMutex;

constexpr size_t kDetailBufferBytes = 1000;
// Size of the detail record's fixed part as the setup API expects it.
constexpr DWORD kDetailRecordSize = 8;

GUID DefaultInterfaceGuid() {
  const auto& id = tevrin::hardware::kFx3InterfaceGuid;
  GUID guid{id.data1, id.data2, id.data3, {}};
  std::memcpy(guid.Data4, id.data4, sizeof(guid.Data4));
  return guid;
}

// The path of one enumerated interface, or empty when it cannot be read or
// does not fit a table entry.
std::string_view ReadInterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interface, std::vector<char>& buffer) {
  DWORD required = 0;
  SetupDiGetDeviceInterfaceDetailA(set, &interface, nullptr, 0, &required, nullptr);
  constexpr size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  if (required <= kPathOffset + 1 || required > buffer.size()) return {};
  std::memset(buffer.data(), 0, required);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
  detail->cbSize = kDetailRecordSize;
  if (!SetupDiGetDeviceInterfaceDetailA(set, &interface, detail, required, nullptr, nullptr)) return {};
  const size_t pathRoom = required - kPathOffset;
  const size_t length = strnlen(detail->DevicePath, pathRoom);
  if (length == 0 || length >= pathRoom || length >= tevrin::usb::kDevicePathBytes) return {};
  return {detail->DevicePath, length};
}

}  // namespace

CFx3Api::CFx3Api(const GUID* guid) : guid_(guid ? *guid : DefaultInterfaceGuid()) {
  std::lock_guard lock(g_tableMutex);
  mapping_ = tevrin::usb::ScopedHandle(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, tevrin::usb::kSharedBlockName));
  bool existed = static_cast<bool>(mapping_);
  if (!mapping_) {
    mapping_ = tevrin::usb::ScopedHandle(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                            sizeof(SharedDeviceBlock), tevrin::usb::kSharedBlockName));
    // Another process may have created it between the two calls.
    existed = mapping_ && GetLastError() == ERROR_ALREADY_EXISTS;
  }
  if (mapping_) view_ = MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedDeviceBlock));
  if (existed) PullSharedBlock();
  if (g_table.userCount <= 0) {
    g_table.userCount = 0;
    tevrin::usb::ClearDeviceTable(g_table);
  }
  ++g_table.userCount;
  PushSharedBlock();
  ComposeLogPath();
}

CFx3Api::~CFx3Api() {
  std::lock_guard lock(g_tableMutex);
  // Take the other processes' changes first, or their entries and users would be lost.
  PullSharedBlock();
  if (g_table.userCount > 0) --g_table.userCount;
  PushSharedBlock();
  if (view_) UnmapViewOfFile(view_);
}

void CFx3Api::PullSharedBlock() {
  if (!view_) return;
  std::memcpy(&g_table, view_, sizeof(g_table));
  tevrin::usb::SanitizeDeviceTable(g_table);
}

void CFx3Api::PushSharedBlock() const {
  if (view_) std::memcpy(view_, &g_table, sizeof(g_table));
}

void CFx3Api::ComposeLogPath() {
  char module[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string_view executable(module, length <= MAX_PATH ? length : 0);
  const size_t separator = executable.find_last_of("\\/:");
  const std::string_view folder = separator == std::string_view::npos ? "" : executable.substr(0, separator + 1);
  std::snprintf(logPath_, sizeof(logPath_), "%.*sDEBUGLOG.txt", static_cast<int>(folder.size()), folder.data());
}

int CFx3Api::ScanDevices() {
  std::vector<char> detailBuffer(kDetailBufferBytes);
  std::lock_guard lock(g_tableMutex);
  PullSharedBlock();
  HDEVINFO set = SetupDiGetClassDevsA(&guid_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set != INVALID_HANDLE_VALUE && set != nullptr) {
    for (DWORD member = 0; member < tevrin::usb::kMaxDevices; ++member) {
      SP_DEVICE_INTERFACE_DATA interface {};
      interface.cbSize = sizeof(interface);
      if (!SetupDiEnumDeviceInterfaces(set, nullptr, &guid_, member, &interface)) continue;
      const std::string path(ReadInterfacePath(set, interface, detailBuffer));
      if (path.empty()) continue;
      // Each interface counts only by its own open result: one that cannot be
      // opened now is not a camera this process can use.
      if (!tevrin::usb::OpenDevicePath(path.c_str(), true)) continue;
      const auto ids = tevrin::usb::ParseDeviceIds(path.c_str());
      if (!ids || ids->productId == 0) continue;
      tevrin::usb::AddDeviceToTable(g_table, ids->vendorId, ids->productId, path.c_str());
    }
    SetupDiDestroyDeviceInfoList(set);
  }
  PushSharedBlock();
  return g_table.entryCount;
}

int CFx3Api::EntryCount() const {
  std::lock_guard lock(g_tableMutex);
  return g_table.entryCount;
}

std::optional<DeviceTableEntry> CFx3Api::Entry(int index) const {
  std::lock_guard lock(g_tableMutex);
  if (index < 0 || index >= g_table.entryCount) return std::nullopt;
  return g_table.entries[index];
}

bool CFx3Api::IsDevicePresent(int index) const {
  const auto entry = Entry(index);
  return entry && tevrin::usb::OpenDevicePath(entry->path, false);
}

std::optional<std::string> CFx3Api::GetDeviceName(int index) const {
  if (!IsDevicePresent(index)) return std::nullopt;
  const auto entry = Entry(index);
  if (!entry) return std::nullopt;
  return tevrin::usb::FormatDeviceName(entry->productId, entry->ordinal);
}

tevrin::usb::ScopedHandle CFx3Api::OpenSelectedDevice(bool overlapped) const {
  const auto entry = Entry(SelectedIndex());
  if (!entry) return {};
  return tevrin::usb::OpenDevicePath(entry->path, overlapped);
}
