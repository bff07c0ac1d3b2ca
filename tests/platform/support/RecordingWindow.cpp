#include "RecordingWindow.h"

namespace tevrin::test {
namespace {

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* recorder = reinterpret_cast<Recorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (recorder == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  Received received{message, wParam, lParam, GetCurrentThreadId(), {}};
  if (message == WM_DEVICECHANGE && lParam != 0)
    received.text = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(lParam)->dbcc_name;
  recorder->Record(received);
  if (recorder->reply) {
    if (auto answer = recorder->reply(window, message, wParam, lParam)) return *answer;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void Recorder::Record(const Received& received) {
  std::lock_guard lock(mutex_);
  received_.push_back(received);
}

std::vector<Received> Recorder::All() {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<UINT> Recorder::Messages() {
  std::vector<UINT> messages;
  for (const Received& received : All()) messages.push_back(received.message);
  return messages;
}

const char* RecordingClassName() {
  static const char* name = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = RecordingProcedure;
    windowClass.lpszClassName = "TevrinTestRecordingWindow";
    RegisterClassExA(&windowClass);
    return windowClass.lpszClassName;
  }();
  return name;
}

HWND CreateRecordingWindow(Recorder& recorder, HWND parent, DWORD style, int id, const char* title) {
  return CreateWindowExA(0, RecordingClassName(), title, style, 10, 20, 300, 200, parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, &recorder);
}

void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

}  // namespace tevrin::test
