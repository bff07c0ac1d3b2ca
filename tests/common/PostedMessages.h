#pragma once

#include <vector>

#include <windows.h>

// Test support: the test program's own PostMessageA and
// RegisterDeviceNotificationA take precedence over the platform layer's, so a
// test sees exactly what the SDK posted and registered, without windows or a
// message loop.
struct PostedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct DeviceRegistration {
  HANDLE recipient;
  DEV_BROADCAST_DEVICEINTERFACE_A filter;
  DWORD flags;
};

// Returns the messages posted so far and forgets them.
std::vector<PostedMessage> TakePostedMessages();
std::vector<DeviceRegistration> TakeDeviceRegistrations();
// Makes the following registrations fail (or succeed again).
void FailDeviceRegistrations(bool fail);
