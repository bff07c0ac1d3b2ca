#include "PostedMessages.h"

#include <cstring>
#include <mutex>
#include <utility>

namespace {

std::mutex guard;
std::vector<PostedMessage> posted;
std::vector<DeviceRegistration> registrations;
bool failRegistrations = false;

}  // namespace

extern "C" BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(guard);
  posted.push_back({window, message, wParam, lParam});
  return window != nullptr;
}

extern "C" HDEVNOTIFY WINAPI RegisterDeviceNotificationA(HANDLE recipient, LPVOID filter, DWORD flags) {
  std::lock_guard lock(guard);
  DeviceRegistration registration{recipient, {}, flags};
  std::memcpy(&registration.filter, filter, sizeof registration.filter);
  registrations.push_back(registration);
  return failRegistrations ? nullptr : &registrations;
}

std::vector<PostedMessage> TakePostedMessages() {
  std::lock_guard lock(guard);
  return std::exchange(posted, {});
}

std::vector<DeviceRegistration> TakeDeviceRegistrations() {
  std::lock_guard lock(guard);
  return std::exchange(registrations, {});
}

void FailDeviceRegistrations(bool fail) {
  std::lock_guard lock(guard);
  failRegistrations = fail;
}
