// A thread owned by one object: started with a routine, joined before the
// object goes. A thread that could not be started is never waited for.
#pragma once

#include <windows.h>

#include <functional>

class CWorkerThread {
 public:
  CWorkerThread() = default;
  ~CWorkerThread() { Join(); }
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;

  // Runs `routine` on a new thread at `priority`; false (and nothing running)
  // when the done event or the thread could not be made. Call only when not
  // running.
  bool Start(std::function<void()> routine, int priority = THREAD_PRIORITY_NORMAL);
  // Waits for the routine to return and releases the thread; at once when
  // none was started.
  void Join();
  bool Running() const { return thread_ != nullptr; }

 private:
  static DWORD WINAPI Entry(void* self);

  std::function<void()> routine_;
  HANDLE done_ = nullptr;
  HANDLE thread_ = nullptr;
};
