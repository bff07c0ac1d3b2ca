// Completion of one device request: the caller's OVERLAPPED and event.
#include <tevrin/win32/Driver.h>

#include <atomic>

#include "deviceio/DeviceIoStatus.h"

namespace tevrin::win32 {

void IoRequest::AttachOverlapped(OVERLAPPED* overlapped) {
  overlapped_ = overlapped;
  if (!overlapped) return;
  event_ = overlapped->hEvent;
  overlapped->InternalHigh = 0;
  std::atomic_ref(overlapped->Internal).store(kIoStatusPending, std::memory_order_release);
  // The event is cleared when the I/O starts, so a wait sees this request's completion only.
  if (event_) ResetEvent(event_);
}

bool IoRequest::Complete(DWORD error, DWORD bytes) {
  {
    std::lock_guard lock(mutex_);
    if (done_) return false;
    done_ = true;
    error_ = error;
    bytes_ = bytes;
    if (overlapped_) {
      overlapped_->InternalHigh = bytes;
      std::atomic_ref(overlapped_->Internal).store(error, std::memory_order_release);
    }
    completed_.notify_all();
  }
  if (event_) SetEvent(event_);
  return true;
}

bool IoRequest::IsComplete() const {
  std::lock_guard lock(mutex_);
  return done_;
}

bool IoRequest::Wait(DWORD milliseconds) const {
  std::unique_lock lock(mutex_);
  auto done = [this] { return done_; };
  if (milliseconds == INFINITE) {
    completed_.wait(lock, done);
    return true;
  }
  return completed_.wait_for(lock, std::chrono::milliseconds(milliseconds), done);
}

DWORD IoRequest::error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

DWORD IoRequest::bytes() const {
  std::lock_guard lock(mutex_);
  return bytes_;
}

}  // namespace tevrin::win32
