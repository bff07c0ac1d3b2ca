// Handles on device interface paths and the device I/O entry points.
#include "deviceio/DeviceFile.h"

#include <atomic>

#include "deviceio/DeviceIoStatus.h"

namespace tevrin::win32 {

void DeviceFile::PruneLocked() {
  std::erase_if(inFlight_, [](const auto& request) { return request->IsComplete(); });
}

void DeviceFile::Submit(const std::shared_ptr<IoRequest>& request) {
  {
    std::lock_guard lock(mutex_);
    PruneLocked();
    inFlight_.push_back(request);
  }
  device_->Submit(request);
}

void DeviceFile::CancelAll() {
  std::vector<std::shared_ptr<IoRequest>> requests;
  {
    std::lock_guard lock(mutex_);
    requests.swap(inFlight_);
  }
  for (const auto& request : requests) {
    if (!request->IsComplete()) device_->Cancel(request);
  }
}

std::shared_ptr<IoRequest> DeviceFile::Pending(const OVERLAPPED* overlapped) {
  std::lock_guard lock(mutex_);
  for (const auto& request : inFlight_) {
    if (request->overlapped() == overlapped && !request->IsComplete()) return request;
  }
  return nullptr;
}

HANDLE OpenDevicePath(const char* path, DWORD desiredAccess, DWORD flagsAndAttributes) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  DWORD error = ERROR_FILE_NOT_FOUND;
  for (const auto& driver : RegisteredDrivers()) {
    DWORD driverError = ERROR_FILE_NOT_FOUND;
    auto device = driver->Open(path, desiredAccess, driverError);
    if (device) {
      bool overlapped = (flagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0;
      SetLastError(ERROR_SUCCESS);
      return HandleTable::Instance().Insert(std::make_shared<DeviceFile>(std::move(device), overlapped));
    }
    // A driver that knows the path but refuses it says why.
    if (driverError != ERROR_FILE_NOT_FOUND) error = driverError;
  }
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace tevrin::win32

using tevrin::win32::DeviceFile;
using tevrin::win32::IoRequest;
using tevrin::win32::ObjectFromHandle;

namespace {

BOOL Finish(const IoRequest& request, LPDWORD bytesReturned) {
  if (bytesReturned) *bytesReturned = request.bytes();
  DWORD error = request.error();
  SetLastError(error);
  return error == ERROR_SUCCESS ? TRUE : FALSE;
}

}  // namespace

extern "C" BOOL WINAPI DeviceIoControl(HANDLE device, DWORD controlCode, LPVOID inBuffer, DWORD inSize,
                                       LPVOID outBuffer, DWORD outSize, LPDWORD bytesReturned,
                                       LPOVERLAPPED overlapped) {
  auto file = ObjectFromHandle<DeviceFile>(device);
  if (!file) return FALSE;
  if ((inBuffer == nullptr && inSize != 0) || (outBuffer == nullptr && outSize != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto request = std::make_shared<IoRequest>(controlCode, inBuffer, inSize, outBuffer, outSize);
  // A handle opened without FILE_FLAG_OVERLAPPED completes every request before
  // returning, but still reports into an OVERLAPPED that was given.
  bool asynchronous = file->overlapped() && overlapped != nullptr;
  request->AttachOverlapped(overlapped);
  file->Submit(request);
  if (!asynchronous) request->Wait(INFINITE);
  if (request->IsComplete()) return Finish(*request, bytesReturned);
  if (bytesReturned) *bytesReturned = 0;
  SetLastError(ERROR_IO_PENDING);
  return FALSE;
}

extern "C" BOOL WINAPI GetOverlappedResult(HANDLE device, LPOVERLAPPED overlapped, LPDWORD bytesTransferred,
                                           BOOL wait) {
  auto file = ObjectFromHandle<DeviceFile>(device);
  if (!file) return FALSE;
  if (overlapped == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto status = std::atomic_ref(overlapped->Internal).load(std::memory_order_acquire);
  if (status == tevrin::win32::kIoStatusPending) {
    auto request = file->Pending(overlapped);
    if (!wait) {
      SetLastError(ERROR_IO_INCOMPLETE);
      return FALSE;
    }
    if (request) request->Wait(INFINITE);
    status = std::atomic_ref(overlapped->Internal).load(std::memory_order_acquire);
    if (status == tevrin::win32::kIoStatusPending) {
      // Not a request of this handle: nothing will ever complete it.
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  if (bytesTransferred) *bytesTransferred = static_cast<DWORD>(overlapped->InternalHigh);
  SetLastError(static_cast<DWORD>(status));
  return status == ERROR_SUCCESS ? TRUE : FALSE;
}

extern "C" BOOL WINAPI CancelIo(HANDLE device) {
  auto file = ObjectFromHandle<DeviceFile>(device);
  if (!file) return FALSE;
  file->CancelAll();
  return TRUE;
}
