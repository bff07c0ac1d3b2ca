#include "MessageWindow.h"

namespace tevrin::tool {
namespace {

constexpr const char* kClassName = "TevrinToolMessages";

}  // namespace

MessageWindow::MessageWindow() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;  // the pump handles the messages it wants itself
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  class_ = RegisterClassExA(&windowClass);
  if (class_ == 0) return;
  window_ =
      CreateWindowExA(0, kClassName, "tevrin", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
}

MessageWindow::~MessageWindow() {
  if (window_) DestroyWindow(window_);
  if (class_) UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}

Ticker::Ticker(HWND window, UINT message, DWORD intervalMs)
    : window_(window), message_(message), intervalMs_(intervalMs) {
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (stop_) thread_ = CreateThread(nullptr, 0, Loop, this, 0, nullptr);
}

Ticker::~Ticker() {
  if (thread_) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  if (stop_) CloseHandle(stop_);
}

DWORD WINAPI Ticker::Loop(LPVOID self) {
  auto* ticker = static_cast<Ticker*>(self);
  while (WaitForSingleObject(ticker->stop_, ticker->intervalMs_) == WAIT_TIMEOUT) {
    PostMessageA(ticker->window_, ticker->message_, 0, 0);
  }
  return 0;
}

}  // namespace tevrin::tool
