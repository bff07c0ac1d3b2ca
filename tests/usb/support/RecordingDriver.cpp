#include "support/RecordingDriver.h"

#include <tevrin/hardware/Fx3Requests.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tevrin::test {

namespace hw = tevrin::hardware;

namespace {

class RecordingHandle : public win32::DeviceHandle {
 public:
  RecordingHandle(std::shared_ptr<RecordingDriver> driver, std::string path)
      : driver_(std::move(driver)), path_(std::move(path)) {}
  void Submit(const std::shared_ptr<win32::IoRequest>& request) override { driver_->Submit(path_, request); }
  void Cancel(const std::shared_ptr<win32::IoRequest>& request) override { driver_->Cancel(request); }

 private:
  std::shared_ptr<RecordingDriver> driver_;
  std::string path_;
};

std::vector<uint8_t> Bytes(const void* data, size_t size) {
  if (!data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return {bytes, bytes + size};
}

hw::SingleTransfer* BulkHeader(const win32::IoRequest& request) {
  if (request.inSize() < sizeof(hw::SingleTransfer)) return nullptr;
  return static_cast<hw::SingleTransfer*>(request.in());
}

}  // namespace

std::string CameraPath(uint16_t productId, int instance, uint16_t vendorId) {
  char path[128];
  std::snprintf(path, sizeof(path), "\\\\?\\usb#vid_%04x&pid_%04x#%d&0&0000#{328184c5-93e6-49b7-94b8-2ada13aabb39}",
                vendorId, productId, instance);
  return path;
}

std::shared_ptr<RecordingDriver> RecordingDriver::Install() {
  auto driver = std::make_shared<RecordingDriver>();
  win32::RegisterDriver(driver);
  return driver;
}

void RecordingDriver::Uninstall(const std::shared_ptr<RecordingDriver>& driver) {
  win32::UnregisterDriver(driver);
}

void RecordingDriver::SetInterfaces(std::vector<std::string> paths) {
  std::lock_guard lock(mutex_);
  paths_ = std::move(paths);
}

void RecordingDriver::SetOpenable(const std::string& path, bool openable) {
  std::lock_guard lock(mutex_);
  std::erase(unopenable_, path);
  if (!openable) unopenable_.push_back(path);
}

void RecordingDriver::SetControlReply(uint32_t returnedBytes, std::vector<uint8_t> data) {
  std::lock_guard lock(mutex_);
  controlBytes_ = returnedBytes;
  controlData_ = std::move(data);
}

void RecordingDriver::SetControlError(uint32_t error) {
  std::lock_guard lock(mutex_);
  controlError_ = error;
}

void RecordingDriver::SetDeviceSpeed(uint32_t speed) {
  std::lock_guard lock(mutex_);
  speed_ = speed;
}

void RecordingDriver::QueueBulk(BulkAnswer answer) {
  std::lock_guard lock(mutex_);
  bulk_.push_back(std::move(answer));
}

std::vector<RecordedRequest> RecordingDriver::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<RecordedRequest> RecordingDriver::Requests(uint32_t code) const {
  std::vector<RecordedRequest> matching;
  for (auto& request : Requests())
    if (request.code == code) matching.push_back(request);
  return matching;
}

void RecordingDriver::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

size_t RecordingDriver::PendingCount() const {
  std::lock_guard lock(mutex_);
  return std::count_if(held_.begin(), held_.end(), [](const Held& held) { return !held.request->IsComplete(); });
}

std::vector<std::string> RecordingDriver::InterfacePaths(const GUID& interfaceClass) {
  if (std::memcmp(&interfaceClass, &kRecordingGuid, sizeof(GUID)) != 0) return {};
  std::lock_guard lock(mutex_);
  return paths_;
}

std::unique_ptr<win32::DeviceHandle> RecordingDriver::Open(const std::string& path, DWORD, DWORD& error) {
  std::lock_guard lock(mutex_);
  if (std::find(paths_.begin(), paths_.end(), path) == paths_.end()) {
    error = ERROR_FILE_NOT_FOUND;
    return nullptr;
  }
  if (std::find(unopenable_.begin(), unopenable_.end(), path) != unopenable_.end()) {
    error = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  return std::make_unique<RecordingHandle>(shared_from_this(), path);
}

void RecordingDriver::Submit(const std::string& path, const std::shared_ptr<win32::IoRequest>& request) {
  {
    std::lock_guard lock(mutex_);
    requests_.push_back({path, request->code(), Bytes(request->in(), request->inSize()),
                         Bytes(request->out(), request->outSize()), request->overlapped() != nullptr});
  }
  if (request->code() == hw::kIoctlAbortPipe) AbortHeld(path);
  Answer(path, request);
}

void RecordingDriver::Cancel(const std::shared_ptr<win32::IoRequest>& request) {
  if (auto* header = BulkHeader(*request)) header->ntStatus = hw::kNtStatusCancelled;
  request->Complete(ERROR_OPERATION_ABORTED, 0);
}

void RecordingDriver::AbortHeld(const std::string& path) {
  std::vector<Held> aborted;
  {
    std::lock_guard lock(mutex_);
    auto split = std::stable_partition(held_.begin(), held_.end(), [&](const Held& held) { return held.path != path; });
    aborted.assign(split, held_.end());
    held_.erase(split, held_.end());
  }
  for (auto& held : aborted) Cancel(held.request);
}

void RecordingDriver::Answer(const std::string& path, const std::shared_ptr<win32::IoRequest>& request) {
  switch (request->code()) {
    case hw::kIoctlControlTransfer: {
      std::unique_lock lock(mutex_);
      if (controlError_) {
        const uint32_t error = controlError_;
        lock.unlock();
        request->Complete(error, 0);
        return;
      }
      auto* block = static_cast<hw::ControlRequestBlock*>(request->out());
      if (request->outSize() >= sizeof(*block) && !controlData_.empty())
        std::memcpy(block->data, controlData_.data(), std::min(controlData_.size(), sizeof(block->data)));
      const uint32_t bytes = std::min<uint32_t>(controlBytes_, request->outSize());
      lock.unlock();
      request->Complete(0, bytes);
      return;
    }
    case hw::kIoctlDirectTransfer:
    case hw::kIoctlBufferedTransfer: {
      BulkAnswer answer;
      {
        std::lock_guard lock(mutex_);
        if (!bulk_.empty()) {
          answer = std::move(bulk_.front());
          bulk_.pop_front();
        }
      }
      AnswerBulk(path, request, answer);
      return;
    }
    case hw::kIoctlGetDeviceSpeed: {
      uint32_t speed;
      {
        std::lock_guard lock(mutex_);
        speed = speed_;
      }
      if (request->outSize() >= sizeof(speed)) std::memcpy(request->out(), &speed, sizeof(speed));
      request->Complete(0, sizeof(speed));
      return;
    }
    default:
      request->Complete(0, 0);
  }
}

void RecordingDriver::AnswerBulk(const std::string& path, const std::shared_ptr<win32::IoRequest>& request,
                                 const BulkAnswer& answer) {
  if (answer.hold) {
    std::lock_guard lock(mutex_);
    held_.push_back({path, request});
    return;
  }
  // The buffered transfer carries header and data in one buffer.
  const bool buffered = request->code() == hw::kIoctlBufferedTransfer;
  uint8_t* data = static_cast<uint8_t*>(request->out()) + (buffered ? sizeof(hw::SingleTransfer) : 0);
  const size_t room = request->outSize() - (buffered ? sizeof(hw::SingleTransfer) : 0);
  const size_t bytes = answer.bytes < 0 ? room : std::min<size_t>(answer.bytes, room);
  if (bytes && (answer.usbdStatus == 0 && answer.error == 0)) {
    std::memset(data, answer.fill, bytes);
    if (!answer.data.empty()) std::memcpy(data, answer.data.data(), std::min(answer.data.size(), bytes));
  }
  if (auto* header = BulkHeader(*request)) {
    header->ntStatus = answer.ntStatus;
    header->usbdStatus = answer.usbdStatus;
  }
  request->Complete(answer.error, static_cast<DWORD>(bytes + (buffered ? sizeof(hw::SingleTransfer) : 0)));
}

}  // namespace tevrin::test
