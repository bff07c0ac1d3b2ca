// The driver side of device I/O: CreateFileA on a device interface path,
// DeviceIoControl, GetOverlappedResult, CancelIo and the SetupDi enumeration
// all end in the drivers registered here. The virtual camera is one; a driver
// for real cameras can be registered beside it.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tevrin::win32 {

// Opens a device interface path ("\\?\usb#..."). Returns the new handle, or
// INVALID_HANDLE_VALUE with the last error set (ERROR_FILE_NOT_FOUND when no
// registered driver knows the path).
HANDLE OpenDevicePath(const char* path, DWORD desiredAccess, DWORD flagsAndAttributes);

// One DeviceIoControl call. The buffers are the caller's and stay valid until
// the request completes; a driver writes them only before Complete.
class IoRequest {
 public:
  IoRequest(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize)
      : code_(code), in_(in), inSize_(inSize), out_(out), outSize_(outSize) {}

  DWORD code() const { return code_; }
  void* in() const { return in_; }
  DWORD inSize() const { return inSize_; }
  void* out() const { return out_; }
  DWORD outSize() const { return outSize_; }

  // Finishes the request with a Win32 error code (0 for success) and the
  // number of bytes returned; fills the caller's OVERLAPPED and signals its
  // event. Only the first call counts; it returns false for later ones.
  bool Complete(DWORD error, DWORD bytes);
  bool IsComplete() const;
  // Waits up to `milliseconds` (INFINITE for ever); true once complete.
  bool Wait(DWORD milliseconds) const;
  DWORD error() const;
  DWORD bytes() const;

  // Set by the platform before the request reaches the driver.
  void AttachOverlapped(OVERLAPPED* overlapped);
  OVERLAPPED* overlapped() const { return overlapped_; }

 private:
  const DWORD code_;
  void* const in_;
  const DWORD inSize_;
  void* const out_;
  const DWORD outSize_;
  OVERLAPPED* overlapped_ = nullptr;
  HANDLE event_ = nullptr;

  mutable std::mutex mutex_;
  mutable std::condition_variable completed_;
  bool done_ = false;
  DWORD error_ = ERROR_SUCCESS;
  DWORD bytes_ = 0;
};

// What a driver gives back for one open of a path.
class DeviceHandle {
 public:
  virtual ~DeviceHandle() = default;
  // Starts the request: the driver completes it at once (inside this call)
  // or later from any thread.
  virtual void Submit(const std::shared_ptr<IoRequest>& request) = 0;
  // Completes a request still in flight with ERROR_OPERATION_ABORTED; after
  // this returns the driver no longer touches the request's buffers.
  virtual void Cancel(const std::shared_ptr<IoRequest>& request) = 0;
};

class Driver {
 public:
  virtual ~Driver() = default;
  // Paths of the present device interfaces of this class, in a stable order.
  virtual std::vector<std::string> InterfacePaths(const GUID& interfaceClass) = 0;
  // Opens a path this driver knows; null with `error` set otherwise
  // (ERROR_FILE_NOT_FOUND for a path that is not the driver's).
  virtual std::unique_ptr<DeviceHandle> Open(const std::string& path, DWORD desiredAccess, DWORD& error) = 0;
};

// Drivers stay registered for the life of the process unless unregistered;
// the registry keeps them alive.
void RegisterDriver(std::shared_ptr<Driver> driver);
void UnregisterDriver(const std::shared_ptr<Driver>& driver);
std::vector<std::shared_ptr<Driver>> RegisteredDrivers();

}  // namespace tevrin::win32
