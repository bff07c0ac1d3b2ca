// Device-interface notifications: registration, delivery of arrivals and
// removals to the registered windows through their own threads, bad input.
#include <gtest/gtest.h>
#include <tevrin/win32/DeviceNotify.h>
#include <windows.h>

#include <cstring>
#include <thread>

#include "Win32Expect.h"
#include "support/RecordingWindow.h"

namespace {

using tevrin::test::CreateRecordingWindow;
using tevrin::test::PumpPending;
using tevrin::test::Received;
using tevrin::test::Recorder;
using tevrin::win32::NotifyDeviceInterfaceChange;

constexpr GUID kCameraInterface{0x328184C5, 0x93E6, 0x49B7, {0x94, 0xB8, 0x2A, 0xDA, 0x13, 0xAA, 0xBB, 0x39}};
constexpr GUID kOtherInterface{0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr const char* kPath = "\\\\?\\usb#vid_04b4&pid_3280#0001#{328184c5-93e6-49b7-94b8-2ada13aabb39}";

DEV_BROADCAST_DEVICEINTERFACE_A FilterFor(const GUID& interfaceClass) {
  DEV_BROADCAST_DEVICEINTERFACE_A filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = interfaceClass;
  return filter;
}

std::vector<Received> DeviceChanges(Recorder& recorder) {
  std::vector<Received> changes;
  for (const Received& received : recorder.All()) {
    if (received.message == WM_DEVICECHANGE) changes.push_back(received);
  }
  return changes;
}

TEST(DeviceNotification, RegisteredWindowGetsArrivalAndRemovalOnItsOwnThread) {
  Recorder recorder;
  GUID seenClass{};
  DWORD seenType = 0, seenSize = 0;
  recorder.reply = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (message != WM_DEVICECHANGE) return std::nullopt;
    auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(lParam);
    seenClass = broadcast->dbcc_classguid;
    seenType = broadcast->dbcc_devicetype;
    seenSize = broadcast->dbcc_size;
    return TRUE;
  };
  HWND window = CreateRecordingWindow(recorder);
  auto filter = FilterFor(kCameraInterface);
  HDEVNOTIFY registration = RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  ASSERT_NE(registration, nullptr);

  std::thread unplug([] {
    NotifyDeviceInterfaceChange(false, kCameraInterface, kPath);
    NotifyDeviceInterfaceChange(true, kCameraInterface, kPath);
  });
  unplug.join();
  EXPECT_TRUE(DeviceChanges(recorder).empty()) << "nothing runs until this thread pumps";
  PumpPending();
  auto changes = DeviceChanges(recorder);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].wParam, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(changes[1].wParam, DBT_DEVICEARRIVAL);
  EXPECT_EQ(changes[1].text, kPath);
  EXPECT_EQ(changes[1].threadId, GetCurrentThreadId());
  EXPECT_EQ(std::memcmp(&seenClass, &kCameraInterface, sizeof(GUID)), 0);
  EXPECT_EQ(seenType, DBT_DEVTYP_DEVICEINTERFACE);
  EXPECT_EQ(seenSize, offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + std::strlen(kPath) + 1);

  ASSERT_TRUE(UnregisterDeviceNotification(registration));
  NotifyDeviceInterfaceChange(true, kCameraInterface, kPath);
  PumpPending();
  EXPECT_EQ(DeviceChanges(recorder).size(), 2u) << "nothing after unregistering";
  EXPECT_FAILS(UnregisterDeviceNotification(registration), FALSE, ERROR_INVALID_HANDLE);
  DestroyWindow(window);
}

TEST(DeviceNotification, DeliveryFollowsTheInterfaceClass) {
  Recorder cameraOnly, everything;
  HWND cameraWindow = CreateRecordingWindow(cameraOnly);
  HWND allWindow = CreateRecordingWindow(everything, HWND_MESSAGE);
  auto filter = FilterFor(kCameraInterface);
  HDEVNOTIFY first = RegisterDeviceNotificationA(cameraWindow, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  HDEVNOTIFY second = RegisterDeviceNotificationA(allWindow, &filter, DEVICE_NOTIFY_ALL_INTERFACE_CLASSES);
  NotifyDeviceInterfaceChange(true, kOtherInterface, "other-device");
  NotifyDeviceInterfaceChange(true, kCameraInterface, kPath);
  PumpPending();
  ASSERT_EQ(DeviceChanges(cameraOnly).size(), 1u);
  EXPECT_EQ(DeviceChanges(cameraOnly)[0].text, kPath);
  ASSERT_EQ(DeviceChanges(everything).size(), 2u);
  EXPECT_EQ(DeviceChanges(everything)[0].text, "other-device");
  UnregisterDeviceNotification(first);
  UnregisterDeviceNotification(second);
  DestroyWindow(cameraWindow);
  DestroyWindow(allWindow);
}

TEST(DeviceNotification, PendingNotificationsOfAGoneWindowAreDropped) {
  Recorder recorder;
  HDEVNOTIFY registration = nullptr;
  HANDLE notified = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread owner([&] {
    HWND window = CreateRecordingWindow(recorder);
    auto filter = FilterFor(kCameraInterface);
    registration = RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    NotifyDeviceInterfaceChange(false, kCameraInterface, kPath);
    DestroyWindow(window);
    NotifyDeviceInterfaceChange(true, kCameraInterface, kPath);
    HWND second = CreateRecordingWindow(recorder);
    auto again = RegisterDeviceNotificationA(second, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    NotifyDeviceInterfaceChange(true, kCameraInterface, kPath);
    UnregisterDeviceNotification(again);
    SetEvent(notified);  // the thread ends without pumping
  });
  owner.join();
  EXPECT_EQ(WaitForSingleObject(notified, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(DeviceChanges(recorder).empty()) << "neither the destroyed window nor the ended thread ran them";
  NotifyDeviceInterfaceChange(true, kCameraInterface, kPath);  // still registered, window gone: ignored
  UnregisterDeviceNotification(registration);
  CloseHandle(notified);
}

TEST(DeviceNotification, BadRegistrationsAreRefused) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder);
  auto filter = FilterFor(kCameraInterface);
  EXPECT_FAILS(RegisterDeviceNotificationA(window, nullptr, DEVICE_NOTIFY_WINDOW_HANDLE), nullptr, ERROR_INVALID_DATA);
  auto wrongType = filter;
  wrongType.dbcc_devicetype = DBT_DEVTYP_VOLUME;
  EXPECT_FAILS(RegisterDeviceNotificationA(window, &wrongType, DEVICE_NOTIFY_WINDOW_HANDLE), nullptr,
               ERROR_INVALID_DATA);
  auto tooShort = filter;
  tooShort.dbcc_size = 8;
  EXPECT_EQ(RegisterDeviceNotificationA(window, &tooShort, DEVICE_NOTIFY_WINDOW_HANDLE), nullptr);
  EXPECT_FAILS(RegisterDeviceNotificationA(reinterpret_cast<HWND>(0x4242), &filter, DEVICE_NOTIFY_WINDOW_HANDLE),
               nullptr, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FAILS(RegisterDeviceNotificationA(window, &filter, 1 /* service handle */), nullptr, ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(UnregisterDeviceNotification(nullptr));
  NotifyDeviceInterfaceChange(true, kCameraInterface, nullptr);  // no path: nothing to say
  DestroyWindow(window);
}

}  // namespace
