// A message-only window: the address the SDK posts frame notifications to.
// It is never shown; the thread that creates it pumps its messages.
#pragma once

#include <windows.h>

namespace tevrin::tool {

class MessageWindow {
 public:
  MessageWindow();
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND Handle() const { return window_; }  // null when it could not be created

 private:
  ATOM class_ = 0;
  HWND window_ = nullptr;
};

// Posts `message` to a window at a fixed interval from a thread of its own,
// so that a GetMessageA loop wakes up even when no frame arrives.
class Ticker {
 public:
  Ticker(HWND window, UINT message, DWORD intervalMs);
  ~Ticker();
  Ticker(const Ticker&) = delete;
  Ticker& operator=(const Ticker&) = delete;

  bool Running() const { return thread_ != nullptr; }

 private:
  static DWORD WINAPI Loop(LPVOID self);

  HWND window_;
  UINT message_;
  DWORD intervalMs_;
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
};

}  // namespace tevrin::tool
