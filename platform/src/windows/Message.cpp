// Posting, sending and pumping messages. A window's messages go to the queue
// of the thread that created it; a thread's queue exists from its first call.
#include "windows/Desktop.h"

using tevrin::win32::CurrentQueue;
using tevrin::win32::Desktop;
using tevrin::win32::MessageFilter;
using tevrin::win32::MessageQueue;
using tevrin::win32::SentMessage;
using tevrin::win32::Window;

namespace {

BOOL PostResult(DWORD error) {
  if (error == ERROR_SUCCESS) return TRUE;
  SetLastError(error);
  return FALSE;
}

// GetMessageA/PeekMessageA: checks the window filter, then pumps the caller's
// queue. -1 for a bad filter window, as GetMessageA reports it.
int Pump(LPMSG message, HWND window, UINT first, UINT last, bool remove, bool wait) {
  if (message == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return -1;
  }
  auto queue = CurrentQueue();
  if (window != nullptr && window != reinterpret_cast<HWND>(-1)) {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* target = desktop.FindLocked(window);
    if (!target) return -1;
    if (target->queue != queue) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
  }
  return queue->Retrieve(MessageFilter{window, first, last}, remove, wait, message) ? 1 : 0;
}

}  // namespace

extern "C" BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return PostResult(CurrentQueue()->Post(nullptr, message, wParam, lParam));
  Desktop& desktop = Desktop::Instance();
  // Held while posting so the message cannot outlive a concurrent DestroyWindow's purge.
  std::lock_guard lock(desktop.mutex);
  Window* target = desktop.FindLocked(window);
  if (!target) return FALSE;
  return PostResult(target->queue->Post(window, message, wParam, lParam));
}

extern "C" BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<MessageQueue> queue;
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    auto found = desktop.queues.find(threadId);
    if (found != desktop.queues.end()) queue = found->second;
  }
  if (!queue) return PostResult(ERROR_INVALID_THREAD_ID);
  return PostResult(queue->Post(nullptr, message, wParam, lParam));
}

extern "C" void WINAPI PostQuitMessage(int exitCode) {
  CurrentQueue()->PostQuit(exitCode);
}

extern "C" LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto queue = CurrentQueue();
  auto sent = std::make_shared<SentMessage>(SentMessage{window, message, wParam, lParam, queue, {}});
  bool delivered = false;
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* target = desktop.FindLocked(window);
    if (!target) return 0;
    if (target->queue != queue) {
      // Delivered before the desktop lock is released: a window destroyed
      // from now on answers the message (with 0) instead of leaving its
      // sender waiting for a thread that may never pump again.
      if (!target->queue->Deliver(sent)) return 0;
      delivered = true;
    }
  }
  if (delivered) return queue->AwaitReply(*sent);
  return tevrin::win32::CallWindowProcedure(window, message, wParam, lParam);
}

extern "C" BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT first, UINT last) {
  int result = Pump(message, window, first, last, true, true);
  return result == 1 && message->message == WM_QUIT ? 0 : result;
}

extern "C" BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT removeFlags) {
  return Pump(message, window, first, last, (removeFlags & PM_REMOVE) != 0, false) == 1;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* message) {
  if (message == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (message->hwnd == nullptr) return 0;
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* target = desktop.FindLocked(message->hwnd);
    if (!target) return 0;
    if (target->queue->ThreadId() != GetCurrentThreadId()) {
      SetLastError(ERROR_MESSAGE_SYNC_ONLY);
      return 0;
    }
  }
  return tevrin::win32::CallWindowProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

// No keyboard exists here, so there is never anything to translate.
extern "C" BOOL WINAPI TranslateMessage(const MSG*) {
  return FALSE;
}
