// The process's window classes, windows and thread message queues. One mutex
// guards them all; window procedures are always called without it, and a
// queue's own lock may be taken under it but never the other way round.
#pragma once

#include <windows.h>

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "windows/MessageQueue.h"

namespace tevrin::win32 {

class Surface;

struct WindowClass {
  ATOM atom;
  std::string name;
  WNDPROC procedure;
  int windowExtraBytes;
  int windows = 0;
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> windowClass{};
  std::shared_ptr<MessageQueue> queue{};  // of the creating thread
  HWND parent = nullptr;                  // child windows only
  bool messageOnly = false;
  std::vector<HWND> children{};
  WNDPROC procedure = nullptr;
  HINSTANCE instance = nullptr;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string text{};
  int x = 0, y = 0, width = 0, height = 0;  // relative to the parent's client area
  std::vector<std::byte> extraBytes{};
  bool destroying = false;
  std::shared_ptr<Surface> surface{};  // what was drawn, made by the first GetDC
  std::shared_ptr<void> classState{};  // a dialog's or built-in control's own state
};

struct Desktop {
  static Desktop& Instance();

  // Null with ERROR_INVALID_WINDOW_HANDLE set when `handle` names no window.
  Window* FindLocked(HWND handle);
  // Null when `handle` names no window; the last error stays as it is.
  Window* PeekLocked(HWND handle);
  std::shared_ptr<WindowClass> FindClassLocked(LPCSTR nameOrAtom);
  // Removes a window and whatever children remain, without messages.
  void RemoveLocked(HWND handle);

  std::mutex mutex;
  std::map<std::string, std::shared_ptr<WindowClass>> classesByName;  // lower-case names
  std::unordered_map<uintptr_t, std::unique_ptr<Window>> windows;
  std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues;
  ATOM nextAtom = 0xC000;
  uintptr_t nextHandle = 0x10010;
};

// Class names and window titles compare without regard to ASCII case.
std::string Lowercase(const char* text);

// The calling thread's queue, created on first use.
std::shared_ptr<MessageQueue> CurrentQueue();
// The window's procedure, called on this thread; 0 when the window is gone.
LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tevrin::win32
