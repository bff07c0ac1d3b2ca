// Device-interface registrations and the delivery of arrivals and removals to
// the registered windows.
#include <tevrin/win32/DeviceNotify.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>

#include "windows/Desktop.h"

// Applications compare dbcc_size with the layout they were built for.
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) == 32);
static_assert(offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) == 28);

namespace tevrin::win32 {
namespace {

struct Registration {
  HWND window;
  bool allClasses;
  GUID interfaceClass;
};

struct Registrations {
  std::mutex mutex;
  std::map<uintptr_t, Registration> byHandle;
  uintptr_t nextHandle = 0x1000;
};

Registrations& TheRegistrations() {
  static Registrations* registrations = new Registrations;  // see Desktop::Instance
  return *registrations;
}

bool SameGuid(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

std::vector<HWND> RecipientsOf(const GUID& interfaceClass) {
  Registrations& registrations = TheRegistrations();
  std::lock_guard lock(registrations.mutex);
  std::vector<HWND> recipients;
  for (auto& [handle, registration] : registrations.byHandle) {
    if (registration.allClasses || SameGuid(registration.interfaceClass, interfaceClass))
      recipients.push_back(registration.window);
  }
  return recipients;
}

// Each recipient gets its own copy: its procedure may write into it.
std::vector<std::byte> Broadcast(const GUID& interfaceClass, const char* path) {
  size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + std::strlen(path) + 1;
  std::vector<std::byte> bytes(std::max(size, sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)));
  DEV_BROADCAST_DEVICEINTERFACE_A header{};
  header.dbcc_size = static_cast<DWORD>(size);
  header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  header.dbcc_classguid = interfaceClass;
  std::memcpy(bytes.data(), &header, offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name));
  std::memcpy(bytes.data() + offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name), path, std::strlen(path) + 1);
  return bytes;
}

}  // namespace

// Notifications travel like SendNotifyMessage: they run at the recipient's
// next pump, ahead of posted messages, and the notifier never waits for them.
void NotifyDeviceInterfaceChange(bool arrival, const GUID& interfaceGuid, const char* path) {
  if (path == nullptr) return;
  for (HWND window : RecipientsOf(interfaceGuid)) {
    std::shared_ptr<MessageQueue> queue;
    {
      Desktop& desktop = Desktop::Instance();
      std::lock_guard lock(desktop.mutex);
      Window* recipient = desktop.PeekLocked(window);
      if (!recipient) continue;
      queue = recipient->queue;
    }
    auto sent = std::make_shared<SentMessage>(SentMessage{window, WM_DEVICECHANGE,
                                                          arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, 0,
                                                          nullptr, Broadcast(interfaceGuid, path)});
    sent->lParam = reinterpret_cast<LPARAM>(sent->payload.data());
    queue->Deliver(std::move(sent));
  }
}

}  // namespace tevrin::win32

using tevrin::win32::TheRegistrations;

extern "C" HDEVNOTIFY WINAPI RegisterDeviceNotificationA(HANDLE recipient, LPVOID filter, DWORD flags) {
  if ((flags & ~DEVICE_NOTIFY_ALL_INTERFACE_CLASSES) != DEVICE_NOTIFY_WINDOW_HANDLE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* header = static_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(filter);
  if (header == nullptr || header->dbcc_size < offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) ||
      header->dbcc_devicetype != DBT_DEVTYP_DEVICEINTERFACE) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  if (!IsWindow(static_cast<HWND>(recipient))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  auto& registrations = TheRegistrations();
  std::lock_guard lock(registrations.mutex);
  uintptr_t handle = registrations.nextHandle;
  registrations.nextHandle += 8;
  registrations.byHandle.emplace(
      handle, tevrin::win32::Registration{static_cast<HWND>(recipient),
                                          (flags & DEVICE_NOTIFY_ALL_INTERFACE_CLASSES) != 0, header->dbcc_classguid});
  return reinterpret_cast<HDEVNOTIFY>(handle);
}

extern "C" BOOL WINAPI UnregisterDeviceNotification(HDEVNOTIFY handle) {
  auto& registrations = TheRegistrations();
  std::lock_guard lock(registrations.mutex);
  if (registrations.byHandle.erase(reinterpret_cast<uintptr_t>(handle)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
