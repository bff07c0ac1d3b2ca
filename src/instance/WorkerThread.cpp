#include "instance/WorkerThread.h"

bool CWorkerThread::Start(std::function<void()> routine, int priority) {
  routine_ = std::move(routine);
  done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD id = 0;
  if (done_) thread_ = CreateThread(nullptr, 0, &CWorkerThread::Entry, this, 0, &id);
  if (thread_ && id) {
    if (priority != THREAD_PRIORITY_NORMAL) SetThreadPriority(thread_, priority);
    return true;
  }
  Join();
  return false;
}

void CWorkerThread::Join() {
  if (thread_) {
    WaitForSingleObject(done_, INFINITE);
    // The routine has signalled its end; the thread returns right after.
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  if (done_) CloseHandle(done_);
  done_ = nullptr;
  routine_ = nullptr;
}

DWORD WINAPI CWorkerThread::Entry(void* self) {
  auto* worker = static_cast<CWorkerThread*>(self);
  worker->routine_();
  SetEvent(worker->done_);
  return 0;
}
