// A driver for the transport tests: it offers interface paths chosen by the
// test, records every request byte for byte as it reaches the driver, and
// answers as told (reply sizes, status words, errors, or no answer at all
// until the pipe is aborted).
#pragma once

#include <tevrin/win32/Driver.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tevrin::test {

// The interface class this driver offers: not the FX3 driver's, so that a
// virtual camera in the same process stays out of these tests.
inline constexpr GUID kRecordingGuid = {0x5E1F0C2A, 0x7D3B, 0x4C11, {0x9A, 0x20, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};

// "\\?\usb#vid_04b4&pid_<pid>#<instance>#{guid}"
std::string CameraPath(uint16_t productId, int instance, uint16_t vendorId = 0x04B4);

struct RecordedRequest {
  std::string path;
  uint32_t code = 0;
  std::vector<uint8_t> in;   // input bytes as submitted
  std::vector<uint8_t> out;  // output buffer as submitted (what a write sends)
  bool overlapped = false;
};

// How the driver answers one direct or buffered bulk transfer.
struct BulkAnswer {
  int64_t bytes = -1;  // -1: the whole output buffer
  uint32_t ntStatus = 0;
  uint32_t usbdStatus = 0;
  uint32_t error = 0;              // Win32 error of the completion
  bool hold = false;               // stay pending until aborted or cancelled
  uint8_t fill = 0xA5;             // byte written into the data
  std::vector<uint8_t> data = {};  // written first, when given
};

class RecordingDriver : public win32::Driver, public std::enable_shared_from_this<RecordingDriver> {
 public:
  // Registers a fresh driver; unregisters it when the returned pointer is reset.
  static std::shared_ptr<RecordingDriver> Install();
  static void Uninstall(const std::shared_ptr<RecordingDriver>& driver);

  void SetInterfaces(std::vector<std::string> paths);
  void SetOpenable(const std::string& path, bool openable);

  // Endpoint-0 requests: the byte count returned and the reply data.
  void SetControlReply(uint32_t returnedBytes, std::vector<uint8_t> data = {});
  void SetControlError(uint32_t error);
  void SetDeviceSpeed(uint32_t speed);
  // Answers for the next bulk transfers, in order; later ones get the default.
  void QueueBulk(BulkAnswer answer);

  std::vector<RecordedRequest> Requests() const;
  std::vector<RecordedRequest> Requests(uint32_t code) const;
  void ClearRequests();
  size_t PendingCount() const;

  std::vector<std::string> InterfacePaths(const GUID& interfaceClass) override;
  std::unique_ptr<win32::DeviceHandle> Open(const std::string& path, DWORD desiredAccess, DWORD& error) override;

  void Submit(const std::string& path, const std::shared_ptr<win32::IoRequest>& request);
  void Cancel(const std::shared_ptr<win32::IoRequest>& request);

 private:
  void Answer(const std::string& path, const std::shared_ptr<win32::IoRequest>& request);
  void AnswerBulk(const std::string& path, const std::shared_ptr<win32::IoRequest>& request, const BulkAnswer& answer);
  void AbortHeld(const std::string& path);

  mutable std::mutex mutex_;
  std::vector<std::string> paths_;
  std::vector<std::string> unopenable_;
  std::vector<RecordedRequest> requests_;
  uint32_t controlBytes_ = 102;
  uint32_t controlError_ = 0;
  std::vector<uint8_t> controlData_;
  uint32_t speed_ = 4;
  std::deque<BulkAnswer> bulk_;
  struct Held {
    std::string path;
    std::shared_ptr<win32::IoRequest> request;
  };
  std::vector<Held> held_;
};

}  // namespace tevrin::test
