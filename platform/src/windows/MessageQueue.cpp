#include "windows/MessageQueue.h"

#include <algorithm>

#include "windows/Desktop.h"

namespace tevrin::win32 {

bool MessageFilter::Matches(const MSG& message) const {
  if (window == reinterpret_cast<HWND>(-1)) {
    if (message.hwnd != nullptr) return false;
  } else if (window != nullptr && message.hwnd != window) {
    return false;
  }
  return (first == 0 && last == 0) || (message.message >= first && message.message <= last);
}

DWORD MessageQueue::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(mutex_);
  if (ended_) return ERROR_INVALID_THREAD_ID;
  if (posted_.size() >= kPostQuota) return ERROR_NOT_ENOUGH_QUOTA;
  posted_.push_back(MSG{window, message, wParam, lParam, GetTickCount(), POINT{0, 0}});
  changed_.notify_all();
  return ERROR_SUCCESS;
}

bool MessageQueue::Deliver(std::shared_ptr<SentMessage> sent) {
  std::lock_guard lock(mutex_);
  if (ended_) return false;
  if (!sent->sender) {
    if (pendingNotifications_ >= kPostQuota) return false;
    ++pendingNotifications_;
  }
  sent_.push_back(std::move(sent));
  changed_.notify_all();
  return true;
}

void MessageQueue::PostQuit(int exitCode) {
  std::lock_guard lock(mutex_);
  quitPending_ = true;
  quitCode_ = exitCode;
  changed_.notify_all();
}

bool MessageQueue::RunOneSentLocked(std::unique_lock<std::mutex>& lock) {
  if (sent_.empty()) return false;
  std::shared_ptr<SentMessage> sent = std::move(sent_.front());
  sent_.pop_front();
  if (!sent->sender) --pendingNotifications_;
  lock.unlock();
  Answer(*sent, CallWindowProcedure(sent->window, sent->message, sent->wParam, sent->lParam));
  sent.reset();  // a notification's payload goes only after its procedure has returned
  lock.lock();
  return true;
}

bool MessageQueue::Retrieve(const MessageFilter& filter, bool remove, bool wait, MSG* out) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (RunOneSentLocked(lock)) continue;
    auto found = std::find_if(posted_.begin(), posted_.end(), [&](const MSG& m) { return filter.Matches(m); });
    if (found != posted_.end()) {
      *out = *found;
      if (remove) posted_.erase(found);
      return true;
    }
    if (quitPending_) {
      *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode_), 0, GetTickCount(), POINT{0, 0}};
      if (remove) quitPending_ = false;
      return true;
    }
    if (!wait) return false;
    changed_.wait(lock);
  }
}

LRESULT MessageQueue::AwaitReply(SentMessage& sent) {
  std::unique_lock lock(mutex_);
  while (!sent.done) {
    if (RunOneSentLocked(lock)) continue;
    changed_.wait(lock);
  }
  return sent.result;
}

void MessageQueue::Answer(SentMessage& sent, LRESULT result) {
  if (!sent.sender) return;
  MessageQueue& sender = *sent.sender;
  std::lock_guard lock(sender.mutex_);
  sent.result = result;
  sent.done = true;
  sender.changed_.notify_all();
}

void MessageQueue::RemoveMessagesFor(HWND window) {
  std::vector<std::shared_ptr<SentMessage>> unanswered;
  {
    std::lock_guard lock(mutex_);
    std::erase_if(posted_, [window](const MSG& m) { return m.hwnd == window; });
    for (auto it = sent_.begin(); it != sent_.end();) {
      if ((*it)->window != window) {
        ++it;
        continue;
      }
      if (!(*it)->sender) --pendingNotifications_;
      unanswered.push_back(std::move(*it));
      it = sent_.erase(it);
    }
  }
  for (auto& sent : unanswered) Answer(*sent, 0);
}

void MessageQueue::Shutdown() {
  std::deque<std::shared_ptr<SentMessage>> unanswered;
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
    posted_.clear();
    unanswered.swap(sent_);
    pendingNotifications_ = 0;
  }
  for (auto& sent : unanswered) Answer(*sent, 0);
}

}  // namespace tevrin::win32
