// Device I/O as Windows programs use it, against a scripted driver: device
// paths open through OpenDevicePath (what CreateFileA calls for "\\?\" paths),
// requests complete at once or later, overlapped results, cancellation, and
// the SetupDi enumeration with its buffer-size rules.
#include <gtest/gtest.h>
#include <setupapi.h>
#include <tevrin/win32/Driver.h>
#include <windows.h>

#include <cstring>
#include <thread>

namespace {

using tevrin::win32::IoRequest;

constexpr GUID kClass = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID kOtherClass = {0x99999999, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr DWORD kCompleteAtOnce = 1;  // echoes the input size as the byte count
constexpr DWORD kCompleteLater = 2;   // waits for the test to finish it

class ScriptedDriver final : public tevrin::win32::Driver {
 public:
  std::vector<std::string> paths = {"\\\\?\\usb#vid_1234&pid_0001#a#{x}", "\\\\?\\usb#vid_1234&pid_0002#b#{x}"};
  std::mutex mutex;
  std::vector<std::shared_ptr<IoRequest>> held;

  std::vector<std::string> InterfacePaths(const GUID& interfaceClass) override {
    return std::memcmp(&interfaceClass, &kClass, sizeof(GUID)) == 0 ? paths : std::vector<std::string>{};
  }
  std::unique_ptr<tevrin::win32::DeviceHandle> Open(const std::string& path, DWORD, DWORD& error) override;
  void FinishHeld(DWORD error, DWORD bytes) {
    std::lock_guard lock(mutex);
    for (auto& request : held) request->Complete(error, bytes);
    held.clear();
  }
};

class ScriptedHandle final : public tevrin::win32::DeviceHandle {
 public:
  explicit ScriptedHandle(ScriptedDriver& driver) : driver_(driver) {}
  void Submit(const std::shared_ptr<IoRequest>& request) override {
    if (request->code() == kCompleteAtOnce) {
      request->Complete(ERROR_SUCCESS, request->inSize());
    } else if (request->code() == kCompleteLater) {
      std::lock_guard lock(driver_.mutex);
      driver_.held.push_back(request);
    } else {
      request->Complete(ERROR_INVALID_FUNCTION, 0);
    }
  }
  void Cancel(const std::shared_ptr<IoRequest>& request) override {
    std::lock_guard lock(driver_.mutex);
    std::erase(driver_.held, request);
    request->Complete(ERROR_OPERATION_ABORTED, 0);
  }

 private:
  ScriptedDriver& driver_;
};

std::unique_ptr<tevrin::win32::DeviceHandle> ScriptedDriver::Open(const std::string& path, DWORD, DWORD& error) {
  for (const auto& known : paths) {
    if (known == path) return std::make_unique<ScriptedHandle>(*this);
  }
  error = ERROR_FILE_NOT_FOUND;
  return nullptr;
}

class DeviceIo : public ::testing::Test {
 protected:
  void SetUp() override { tevrin::win32::RegisterDriver(driver); }
  void TearDown() override { tevrin::win32::UnregisterDriver(driver); }
  HANDLE Open(bool overlapped) {
    return tevrin::win32::OpenDevicePath(driver->paths[0].c_str(), GENERIC_WRITE,
                                         overlapped ? FILE_FLAG_OVERLAPPED : 0);
  }
  std::shared_ptr<ScriptedDriver> driver = std::make_shared<ScriptedDriver>();
};

TEST_F(DeviceIo, OpenFindsOnlyRegisteredPaths) {
  EXPECT_EQ(tevrin::win32::OpenDevicePath("\\\\?\\usb#vid_0000&pid_0000#z#{x}", GENERIC_WRITE, 0),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(tevrin::win32::OpenDevicePath(nullptr, GENERIC_WRITE, 0), INVALID_HANDLE_VALUE);
  HANDLE device = Open(false);
  ASSERT_NE(device, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(device));
  EXPECT_FALSE(CloseHandle(device));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(DeviceIo, SynchronousRequestsWaitForCompletion) {
  HANDLE device = Open(false);
  uint8_t block[8] = {};
  DWORD bytes = 0;
  EXPECT_TRUE(DeviceIoControl(device, kCompleteAtOnce, block, 8, block, 8, &bytes, nullptr));
  EXPECT_EQ(bytes, 8u);
  // A request that completes later blocks the caller until it does.
  std::thread finisher([&] {
    while (true) {
      {
        std::lock_guard lock(driver->mutex);
        if (!driver->held.empty()) break;
      }
      Sleep(1);
    }
    driver->FinishHeld(ERROR_SUCCESS, 5);
  });
  EXPECT_TRUE(DeviceIoControl(device, kCompleteLater, block, 8, block, 8, &bytes, nullptr));
  EXPECT_EQ(bytes, 5u);
  finisher.join();
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread late([&] {
    while (WaitForSingleObject(overlapped.hEvent, 1) == WAIT_TIMEOUT) driver->FinishHeld(ERROR_SUCCESS, 3);
  });
  EXPECT_TRUE(DeviceIoControl(device, kCompleteLater, block, 8, block, 8, &bytes, &overlapped));
  late.join();
  EXPECT_EQ(bytes, 3u);
  EXPECT_EQ(overlapped.InternalHigh, 3u);
  CloseHandle(overlapped.hEvent);
  EXPECT_FALSE(DeviceIoControl(device, 77, nullptr, 0, nullptr, 0, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  EXPECT_FALSE(DeviceIoControl(device, kCompleteAtOnce, nullptr, 8, nullptr, 0, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(DeviceIoControl(nullptr, kCompleteAtOnce, nullptr, 0, nullptr, 0, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(device);
}

TEST_F(DeviceIo, OverlappedRequestsPendAndSignalTheirEvent) {
  HANDLE device = Open(true);
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);  // cleared when the I/O starts
  uint8_t buffer[16] = {};
  DWORD bytes = 99;

  // Completing at once: TRUE, and the event is set as well.
  EXPECT_TRUE(DeviceIoControl(device, kCompleteAtOnce, buffer, 16, buffer, 16, &bytes, &overlapped));
  EXPECT_EQ(bytes, 16u);
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), static_cast<DWORD>(WAIT_OBJECT_0));

  EXPECT_FALSE(DeviceIoControl(device, kCompleteLater, buffer, 16, buffer, 16, &bytes, &overlapped));
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_FALSE(GetOverlappedResult(device, &overlapped, &bytes, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_INCOMPLETE));
  std::thread finisher([&] { driver->FinishHeld(ERROR_SUCCESS, 12); });
  EXPECT_TRUE(GetOverlappedResult(device, &overlapped, &bytes, TRUE));
  EXPECT_EQ(bytes, 12u);
  finisher.join();
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), static_cast<DWORD>(WAIT_OBJECT_0));

  // A failure reports its error through GetOverlappedResult.
  EXPECT_FALSE(DeviceIoControl(device, kCompleteLater, buffer, 16, buffer, 16, &bytes, &overlapped));
  driver->FinishHeld(ERROR_GEN_FAILURE, 0);
  EXPECT_FALSE(GetOverlappedResult(device, &overlapped, &bytes, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
  EXPECT_FALSE(GetOverlappedResult(device, nullptr, &bytes, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(overlapped.hEvent);
  CloseHandle(device);
}

TEST_F(DeviceIo, CancelIoAndCloseHandleEndPendingRequests) {
  HANDLE device = Open(true);
  OVERLAPPED first{}, second{};
  first.hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  second.hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD bytes = 0;
  EXPECT_FALSE(DeviceIoControl(device, kCompleteLater, nullptr, 0, nullptr, 0, &bytes, &first));
  EXPECT_FALSE(DeviceIoControl(device, kCompleteLater, nullptr, 0, nullptr, 0, &bytes, &second));
  ASSERT_TRUE(CancelIo(device));
  for (OVERLAPPED* overlapped : {&first, &second}) {
    EXPECT_EQ(WaitForSingleObject(overlapped->hEvent, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_FALSE(GetOverlappedResult(device, overlapped, &bytes, TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  }
  EXPECT_FALSE(DeviceIoControl(device, kCompleteLater, nullptr, 0, nullptr, 0, &bytes, &first));
  CloseHandle(device);
  EXPECT_EQ(WaitForSingleObject(first.hEvent, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(first.Internal, static_cast<ULONG_PTR>(ERROR_OPERATION_ABORTED));
  EXPECT_FALSE(CancelIo(device));
  CloseHandle(first.hEvent);
  CloseHandle(second.hEvent);
}

TEST_F(DeviceIo, SetupDiListsInterfacesWithWindowsBufferRules) {
  HDEVINFO set = SetupDiGetClassDevsA(&kClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof(data);
  ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &kClass, 1, &data));
  EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &kClass, 2, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
  EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &kOtherClass, 0, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));

  DWORD required = 0;
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(required, 4 + driver->paths[1].size() + 1);
  std::vector<uint8_t> buffer(1000);
  auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer.data());
  detail->cbSize = 6;
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, 1000, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  detail->cbSize = 8;
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required - 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_TRUE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr));
  EXPECT_EQ(std::string(detail->DevicePath), driver->paths[1]);

  data.cbSize = 3;
  EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &kClass, 0, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
  EXPECT_FALSE(SetupDiDestroyDeviceInfoList(set));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_DEVICEINTERFACE), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
