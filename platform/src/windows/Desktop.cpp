#include "windows/Desktop.h"

#include <algorithm>
#include <cctype>

#include "display/Display.h"
#include "windows/ThreadMessaging.h"

namespace tevrin::win32 {

std::string Lowercase(const char* text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower;
}

namespace {

// Ends the thread's messaging when the thread ends, also for threads not made
// by CreateThread.
struct ThreadQueue {
  std::shared_ptr<MessageQueue> queue;
  ~ThreadQueue() { EndThreadMessaging(); }
};
thread_local ThreadQueue threadQueue;

}  // namespace

Desktop& Desktop::Instance() {
  // Never destroyed: threads that outlive main may still end their messaging.
  static Desktop* desktop = new Desktop;
  return *desktop;
}

Window* Desktop::PeekLocked(HWND handle) {
  auto found = windows.find(reinterpret_cast<uintptr_t>(handle));
  return found == windows.end() ? nullptr : found->second.get();
}

Window* Desktop::FindLocked(HWND handle) {
  Window* window = PeekLocked(handle);
  if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

std::shared_ptr<WindowClass> Desktop::FindClassLocked(LPCSTR nameOrAtom) {
  if (nameOrAtom == nullptr) return nullptr;
  if (IS_INTRESOURCE(nameOrAtom)) {
    auto atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(nameOrAtom));
    for (auto& [name, windowClass] : classesByName) {
      if (windowClass->atom == atom) return windowClass;
    }
    return nullptr;
  }
  auto found = classesByName.find(Lowercase(nameOrAtom));
  return found == classesByName.end() ? nullptr : found->second;
}

void Desktop::RemoveLocked(HWND handle) {
  auto found = windows.find(reinterpret_cast<uintptr_t>(handle));
  if (found == windows.end()) return;
  std::unique_ptr<Window> window = std::move(found->second);
  windows.erase(found);
  for (HWND child : window->children) RemoveLocked(child);
  if (Window* parent = PeekLocked(window->parent)) std::erase(parent->children, handle);
  --window->windowClass->windows;
  window->queue->RemoveMessagesFor(handle);
  display::WindowGone(handle);
}

std::shared_ptr<MessageQueue> CurrentQueue() {
  if (!threadQueue.queue) {
    auto queue = std::make_shared<MessageQueue>(GetCurrentThreadId());
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    desktop.queues[queue->ThreadId()] = queue;
    threadQueue.queue = std::move(queue);
  }
  return threadQueue.queue;
}

LRESULT CallWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure;
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* window = desktop.FindLocked(handle);
    if (!window) return 0;
    procedure = window->procedure;
  }
  return procedure ? procedure(handle, message, wParam, lParam) : 0;
}

void EndThreadMessaging() {
  std::shared_ptr<MessageQueue> queue = std::move(threadQueue.queue);
  if (!queue) return;
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    std::vector<HWND> owned;
    for (auto& [handle, window] : desktop.windows) {
      if (window->queue == queue) owned.push_back(window->handle);
    }
    for (HWND handle : owned) desktop.RemoveLocked(handle);
    desktop.queues.erase(queue->ThreadId());
  }
  queue->Shutdown();
}

}  // namespace tevrin::win32
