// A thread's message queue: the messages posted to it, the messages other
// threads send to its windows, and the quit flag.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace tevrin::win32 {

class MessageQueue;

// A message handed straight to a window procedure on the window's thread when
// that thread pumps. A blocking send names its sender, who waits for the
// result; a notification has no sender and owns `payload`, which lParam may
// point into and which lives until the procedure has returned.
struct SentMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::shared_ptr<MessageQueue> sender;
  std::vector<std::byte> payload;
  // Guarded by the sender's queue.
  LRESULT result = 0;
  bool done = false;
};

// Which posted messages GetMessageA/PeekMessageA may take. `window` is null
// for all of the thread's messages, (HWND)-1 for thread messages only.
struct MessageFilter {
  HWND window;
  UINT first;
  UINT last;
  bool Matches(const MSG& message) const;
};

class MessageQueue {
 public:
  // As on Windows: a stuck receiver cannot make its queue grow without bound.
  static constexpr size_t kPostQuota = 10000;

  explicit MessageQueue(DWORD threadId) : threadId_(threadId) {}

  DWORD ThreadId() const { return threadId_; }

  // ERROR_SUCCESS, ERROR_NOT_ENOUGH_QUOTA, or ERROR_INVALID_THREAD_ID once the
  // thread has ended.
  DWORD Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Queues a blocking send or a notification; false once the thread has ended
  // or, for notifications, when the quota is used up.
  bool Deliver(std::shared_ptr<SentMessage> sent);
  void PostQuit(int exitCode);

  // Runs the sent messages waiting here, then takes the first posted message
  // the filter accepts (WM_QUIT when none is left). With `wait` blocks until
  // one arrives; without returns false when there is none.
  bool Retrieve(const MessageFilter& filter, bool remove, bool wait, MSG* out);
  // Blocks the sending thread (the owner of this queue) until `sent` has been
  // answered, running messages other threads send here meanwhile so two
  // threads sending to each other do not deadlock.
  LRESULT AwaitReply(SentMessage& sent);

  // Drops a destroyed window's posted messages and notifications and answers
  // the sends waiting for it with 0.
  void RemoveMessagesFor(HWND window);
  // The thread is ending: refuse new messages and release waiting senders.
  void Shutdown();

  // Hands the result back to a waiting sender (no-op for notifications).
  static void Answer(SentMessage& sent, LRESULT result);

 private:
  bool RunOneSentLocked(std::unique_lock<std::mutex>& lock);

  const DWORD threadId_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<MSG> posted_;
  std::deque<std::shared_ptr<SentMessage>> sent_;
  size_t pendingNotifications_ = 0;
  bool quitPending_ = false;
  int quitCode_ = 0;
  bool ended_ = false;
};

}  // namespace tevrin::win32
