#include "support/ApplicationWindow.h"

#include <TevrinSdk_Halden.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <chrono>

namespace tevrin::test {

HWND CreateApplicationWindow(DWORD style, int width, int height, HWND parent) {
  static const ATOM registered = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TevrinTestApplication";
    return RegisterClassExA(&windowClass);
  }();
  if (!registered) return nullptr;
  return CreateWindowExA(0, "TevrinTestApplication", "application", style, 0, 0, width, height, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

std::vector<std::pair<WPARAM, LPARAM>> PumpFrameMessages(HWND window, size_t wanted, double seconds) {
  std::vector<std::pair<WPARAM, LPARAM>> frames;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (frames.size() < wanted && std::chrono::steady_clock::now() < deadline) {
    MSG message;
    if (!PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
      Sleep(1);
      continue;
    }
    if (message.message == TEVRIN_MSG_FRAME) frames.emplace_back(message.wParam, message.lParam);
  }
  return frames;
}

int OpenCameras(const char* cameras) {
  if (!tevrin::virtualcam::Configure(cameras)) return 0;
  const int handle = Tevrin_Initialize(nullptr);
  if (handle != 0 && !Tevrin_SetPreviewWindow(handle, nullptr, 0, 0, 0, 0)) {
    Tevrin_Release(handle);
    return 0;
  }
  return handle;
}

std::vector<int> TakeErrors(int handle) {
  std::vector<int> codes;
  for (int code = Tevrin_GetLastError(handle); code != 0; code = Tevrin_GetLastError(handle)) codes.push_back(code);
  return codes;
}

}  // namespace tevrin::test
