/*
 * Receiving notifications on Linux exactly as on Windows: a window of the
 * application's own, a worker thread that posts to it (as the SDK posts frame
 * and error notifications), and the usual GetMessage/DispatchMessage loop.
 */
#include <stdio.h>
#include <windows.h>

#define WM_FRAME_READY (WM_APP + 2)
#define WM_CAMERA_ERROR (WM_APP + 3)
#define FRAME_COUNT 5

static LRESULT CALLBACK NotificationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_FRAME_READY:
      printf("frame %ld arrived\n", (long)lParam);
      return 0;
    case WM_CAMERA_ERROR:
      printf("error %ld reported\n", (long)lParam);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

/* Stands in for the SDK's acquisition thread. */
static DWORD WINAPI Worker(LPVOID parameter) {
  HWND window = (HWND)parameter;
  for (LPARAM frame = 1; frame <= FRAME_COUNT; ++frame) {
    PostMessageA(window, WM_FRAME_READY, 0, frame);
    Sleep(10);
  }
  PostMessageA(window, WM_CAMERA_ERROR, 0, 7);
  return 0;
}

int main(void) {
  WNDCLASSEXA windowClass = {0};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = NotificationProc;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "MessagePumpExample";
  if (!RegisterClassExA(&windowClass)) {
    fprintf(stderr, "RegisterClassExA failed: %lu\n", (unsigned long)GetLastError());
    return 1;
  }
  /* A message-only window: it receives messages but is never shown. */
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "notifications", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                windowClass.hInstance, NULL);
  if (window == NULL) {
    fprintf(stderr, "CreateWindowExA failed: %lu\n", (unsigned long)GetLastError());
    return 1;
  }
  HANDLE worker = CreateThread(NULL, 0, Worker, window, 0, NULL);
  if (worker == NULL) {
    fprintf(stderr, "CreateThread failed: %lu\n", (unsigned long)GetLastError());
    DestroyWindow(window);
    return 1;
  }

  MSG message;
  BOOL result;
  while ((result = GetMessageA(&message, NULL, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }

  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
  UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
  printf("message loop ended with %s, exit code %d\n", result == 0 ? "WM_QUIT" : "an error", (int)message.wParam);
  return result == 0 ? 0 : 1;
}
