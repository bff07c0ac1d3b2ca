// Threads with Windows identity: a handle that is signalled when the thread
// ends, an exit code, a thread ID that GetCurrentThreadId reports inside it.
#include <tevrin/win32/KernelObject.h>

#include "kernel/ThreadScheduling.h"
#include "windows/ThreadMessaging.h"

#include <unistd.h>

#include <atomic>
#include <thread>

namespace tevrin::win32 {
namespace {

std::atomic<DWORD> nextThreadId{1};
thread_local DWORD currentThreadId = 0;

class Thread final : public Waitable {
 public:
  explicit Thread(DWORD id) : id_(id) {}

  DWORD Id() const { return id_; }
  void Finish(DWORD exitCode) {
    std::lock_guard lock(mutex_);
    exitCode_ = exitCode;
    finished_ = true;
    NotifyLocked();
  }
  DWORD ExitCode() {
    std::lock_guard lock(mutex_);
    return finished_ ? exitCode_ : STILL_ACTIVE;
  }
  // The thread's own start: from here on its priority can be given to it.
  void Started(pid_t tid) {
    std::lock_guard lock(mutex_);
    tid_ = tid;
    if (priority_ != THREAD_PRIORITY_NORMAL) ApplyThreadPriority(tid_, priority_);
  }
  // A priority set before the thread has started is given to it at its start;
  // one set after its end is only recorded (its tid may belong to another).
  void SetPriority(int priority) {
    std::lock_guard lock(mutex_);
    priority_ = priority;
    if (tid_ != 0 && !finished_) ApplyThreadPriority(tid_, priority_);
  }
  int Priority() {
    std::lock_guard lock(mutex_);
    return priority_;
  }

 private:
  bool IsSignaledLocked() const override { return finished_; }

  const DWORD id_;
  pid_t tid_ = 0;
  bool finished_ = false;
  DWORD exitCode_ = STILL_ACTIVE;
  int priority_ = THREAD_PRIORITY_NORMAL;
};

}  // namespace
}  // namespace tevrin::win32

using tevrin::win32::ObjectFromHandle;
using tevrin::win32::Thread;

extern "C" DWORD WINAPI GetCurrentThreadId(void) {
  auto& id = tevrin::win32::currentThreadId;
  if (id == 0) id = tevrin::win32::nextThreadId.fetch_add(1);
  return id;
}

extern "C" DWORD WINAPI GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

extern "C" HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                      DWORD creationFlags, LPDWORD threadId) {
  if (start == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (creationFlags & CREATE_SUSPENDED) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto thread = std::make_shared<Thread>(tevrin::win32::nextThreadId.fetch_add(1));
  HANDLE handle = tevrin::win32::HandleTable::Instance().Insert(thread);
  try {
    std::thread native([thread, start, parameter] {
      tevrin::win32::currentThreadId = thread->Id();
      thread->Started(gettid());
      DWORD exitCode = start(parameter);
      tevrin::win32::EndThreadMessaging();
      thread->Finish(exitCode);
    });
    native.detach();
  } catch (const std::system_error&) {
    CloseHandle(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (threadId) *threadId = thread->Id();
  return handle;
}

extern "C" BOOL WINAPI SetThreadPriority(HANDLE handle, int priority) {
  auto thread = ObjectFromHandle<Thread>(handle);
  if (!thread) return FALSE;
  thread->SetPriority(priority);
  return TRUE;
}

extern "C" int WINAPI GetThreadPriority(HANDLE handle) {
  auto thread = ObjectFromHandle<Thread>(handle);
  return thread ? thread->Priority() : THREAD_PRIORITY_ERROR_RETURN;
}

extern "C" BOOL WINAPI GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
  auto thread = ObjectFromHandle<Thread>(handle);
  if (!thread) return FALSE;
  if (exitCode == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  *exitCode = thread->ExitCode();
  return TRUE;
}
