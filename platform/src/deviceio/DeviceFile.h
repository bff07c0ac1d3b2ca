// The kernel object behind a handle opened on a device interface path.
#pragma once

#include <tevrin/win32/Driver.h>
#include <tevrin/win32/KernelObject.h>

namespace tevrin::win32 {

class DeviceFile final : public KernelObject {
 public:
  DeviceFile(std::unique_ptr<DeviceHandle> device, bool overlapped)
      : device_(std::move(device)), overlapped_(overlapped) {}
  // Closing the last handle cancels what is still in flight, as on Windows.
  ~DeviceFile() override { CancelAll(); }

  bool overlapped() const { return overlapped_; }
  // Hands the request to the driver and remembers it until it completes.
  void Submit(const std::shared_ptr<IoRequest>& request);
  void CancelAll();
  // The request in flight that reports into `overlapped`, if any.
  std::shared_ptr<IoRequest> Pending(const OVERLAPPED* overlapped);

 private:
  void PruneLocked();

  const std::unique_ptr<DeviceHandle> device_;
  const bool overlapped_;
  std::mutex mutex_;
  std::vector<std::shared_ptr<IoRequest>> inFlight_;
};

}  // namespace tevrin::win32
