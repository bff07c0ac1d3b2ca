// Kernel objects behind HANDLE values: the process-wide handle table and the
// waitable base that events, threads and overlapped I/O build on.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace tevrin::win32 {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// An object a thread can wait for with WaitForSingleObject. Subclasses keep
// their state under mutex_ and call NotifyLocked() whenever it may have become
// signalled.
class Waitable : public KernelObject {
 public:
  // WAIT_OBJECT_0 once signalled, WAIT_TIMEOUT after `milliseconds`
  // (INFINITE waits for ever). Blocks on a condition variable, never spins.
  DWORD Wait(DWORD milliseconds);

 protected:
  virtual bool IsSignaledLocked() const = 0;
  // Called under mutex_ when a wait is satisfied (auto-reset events clear here).
  virtual void OnWaitSatisfiedLocked() {}
  void NotifyLocked() { changed_.notify_all(); }

  std::mutex mutex_;

 private:
  std::condition_variable changed_;
};

// Handles are small multiples of 4, as on Windows; 0 and INVALID_HANDLE_VALUE
// never name an object.
class HandleTable {
 public:
  static HandleTable& Instance();

  HANDLE Insert(std::shared_ptr<KernelObject> object);
  std::shared_ptr<KernelObject> Lookup(HANDLE handle) const;
  // Removes the handle; the object lives on while others still hold it.
  bool Remove(HANDLE handle);

  template <class T>
  std::shared_ptr<T> LookupAs(HANDLE handle) const {
    return std::dynamic_pointer_cast<T>(Lookup(handle));
  }

 private:
  HandleTable() = default;
  struct Impl;
  mutable std::mutex mutex_;
  std::unique_ptr<Impl> impl_;
};

// Looks up a handle of the expected kind; on failure sets ERROR_INVALID_HANDLE
// and returns null, which is what every Win32 entry point reports.
template <class T>
std::shared_ptr<T> ObjectFromHandle(HANDLE handle) {
  auto object = HandleTable::Instance().LookupAs<T>(handle);
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

}  // namespace tevrin::win32
