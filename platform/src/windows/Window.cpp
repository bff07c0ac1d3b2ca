// Window classes and windows: creation and destruction with their messages,
// window data, the parent/child tree, titles and look-up.
#include <cstring>
#include <optional>

#include "display/Display.h"
#include "windows/Desktop.h"

using tevrin::win32::CallWindowProcedure;
using tevrin::win32::Desktop;
using tevrin::win32::Window;
using tevrin::win32::WindowClass;

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

bool OwnedByCaller(const Window& window) {
  return window.queue->ThreadId() == GetCurrentThreadId();
}

// Copies at most size - 1 characters and a terminator; returns the count copied.
int CopyText(const std::string& text, char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  size_t count = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

int OrDefault(int value, int fallback) {
  return value == CW_USEDEFAULT ? fallback : value;
}

// Children go in the same pass, between their parent's WM_DESTROY and
// WM_NCDESTROY, as on Windows.
std::vector<HWND> ClaimChildrenForDestruction(HWND handle) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  std::vector<HWND> claimed;
  if (Window* window = desktop.PeekLocked(handle)) {
    for (HWND child : window->children) {
      Window* childWindow = desktop.PeekLocked(child);
      if (childWindow && !childWindow->destroying) {
        childWindow->destroying = true;
        claimed.push_back(child);
      }
    }
  }
  return claimed;
}

void DestroyClaimedWindow(HWND handle) {
  CallWindowProcedure(handle, WM_DESTROY, 0, 0);
  for (HWND child : ClaimChildrenForDestruction(handle)) DestroyClaimedWindow(child);
  CallWindowProcedure(handle, WM_NCDESTROY, 0, 0);
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  desktop.RemoveLocked(handle);
}

std::optional<LONG_PTR> ReadWindowLong(const Window& window, int index) {
  switch (index) {
    case GWLP_USERDATA:
      return window.userData;
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(window.procedure);
    case GWLP_ID:
      return window.id;
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(window.instance);
    case GWL_STYLE:
      return static_cast<LONG>(window.style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(window.exStyle);
  }
  if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > window.extraBytes.size()) return std::nullopt;
  LONG_PTR value;
  std::memcpy(&value, window.extraBytes.data() + index, sizeof value);
  return value;
}

void WriteWindowLong(Window& window, int index, LONG_PTR value) {
  switch (index) {
    case GWLP_USERDATA:
      window.userData = value;
      return;
    case GWLP_WNDPROC:
      window.procedure = reinterpret_cast<WNDPROC>(value);
      return;
    case GWLP_ID:
      window.id = value;
      return;
    case GWLP_HINSTANCE:
      window.instance = reinterpret_cast<HINSTANCE>(value);
      return;
    case GWL_STYLE:
      window.style = static_cast<DWORD>(value);
      return;
    case GWL_EXSTYLE:
      window.exStyle = static_cast<DWORD>(value);
      return;
  }
  std::memcpy(window.extraBytes.data() + index, &value, sizeof value);
}

}  // namespace

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
  if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA) || windowClass->lpszClassName == nullptr ||
      IS_INTRESOURCE(windowClass->lpszClassName) || windowClass->lpszClassName[0] == '\0' ||
      windowClass->cbWndExtra < 0 || windowClass->cbClsExtra < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  std::string key = tevrin::win32::Lowercase(windowClass->lpszClassName);
  if (desktop.classesByName.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  if (desktop.nextAtom == 0) {  // all 16 384 string atoms used
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto entry = std::make_shared<WindowClass>(
      WindowClass{desktop.nextAtom++, windowClass->lpszClassName, windowClass->lpfnWndProc, windowClass->cbWndExtra});
  desktop.classesByName.emplace(key, entry);
  return entry->atom;
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  auto windowClass = desktop.FindClassLocked(className);
  if (!windowClass) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (windowClass->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  desktop.classesByName.erase(tevrin::win32::Lowercase(windowClass->name.c_str()));
  return TRUE;
}

extern "C" HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                       int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                       LPVOID param) {
  bool messageOnly = parent == HWND_MESSAGE;
  bool child = (style & WS_CHILD) && !messageOnly;
  x = OrDefault(x, 0);
  y = OrDefault(y, 0);
  width = OrDefault(width, child ? 0 : kDefaultWidth);
  height = OrDefault(height, child ? 0 : kDefaultHeight);
  auto window = std::make_unique<Window>(Window{.queue = tevrin::win32::CurrentQueue(),
                                                .parent = child ? parent : nullptr,
                                                .messageOnly = messageOnly,
                                                .instance = instance,
                                                .id = child ? reinterpret_cast<LONG_PTR>(menu) : 0,
                                                .style = style,
                                                .exStyle = exStyle,
                                                .x = x,
                                                .y = y,
                                                .width = width,
                                                .height = height});
  HWND handle;
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    window->windowClass = desktop.FindClassLocked(className);
    if (!window->windowClass) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    if (child && parent == nullptr) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    Window* parentWindow = nullptr;
    if (parent != nullptr && !messageOnly && !(parentWindow = desktop.FindLocked(parent))) return nullptr;
    handle = reinterpret_cast<HWND>(desktop.nextHandle);
    desktop.nextHandle += 2;
    window->handle = handle;
    window->procedure = window->windowClass->procedure;
    window->extraBytes.resize(static_cast<size_t>(window->windowClass->windowExtraBytes));
    ++window->windowClass->windows;
    if (child) parentWindow->children.push_back(handle);
    desktop.windows.emplace(reinterpret_cast<uintptr_t>(handle), std::move(window));
  }
  CREATESTRUCTA create{.lpCreateParams = param,
                       .hInstance = instance,
                       .hMenu = menu,
                       .hwndParent = parent,
                       .cy = height,
                       .cx = width,
                       .y = y,
                       .x = x,
                       .style = static_cast<LONG>(style),
                       .lpszName = windowName,
                       .lpszClass = className,
                       .dwExStyle = exStyle};
  auto createParam = reinterpret_cast<LPARAM>(&create);
  if (!CallWindowProcedure(handle, WM_NCCREATE, 0, createParam)) {
    CallWindowProcedure(handle, WM_NCDESTROY, 0, 0);
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    desktop.RemoveLocked(handle);
    return nullptr;
  }
  if (CallWindowProcedure(handle, WM_CREATE, 0, createParam) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (!IsWindow(handle)) return nullptr;
  tevrin::win32::display::WindowChanged(handle);
  return handle;
}

extern "C" BOOL WINAPI DestroyWindow(HWND handle) {
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* window = desktop.FindLocked(handle);
    if (!window) return FALSE;
    if (!OwnedByCaller(*window)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (window->destroying) return TRUE;
    window->destroying = true;
  }
  DestroyClaimedWindow(handle);
  return TRUE;
}

extern "C" BOOL WINAPI IsWindow(HWND handle) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  return desktop.PeekLocked(handle) != nullptr;
}

extern "C" LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    DestroyWindow(handle);
    return 0;
  }
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  if (!window) return 0;
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (create && create->lpszName && !IS_INTRESOURCE(create->lpszName)) window->text = create->lpszName;
      return TRUE;
    }
    case WM_SETTEXT:
      window->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
      tevrin::win32::display::WindowChanged(handle);
      return TRUE;
    case WM_GETTEXT:
      return CopyText(window->text, reinterpret_cast<char*>(lParam), wParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->text.size());
    default:
      return 0;
  }
}

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND handle, int index) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  if (!window) return 0;
  auto value = ReadWindowLong(*window, index);
  if (!value) SetLastError(ERROR_INVALID_INDEX);
  return value.value_or(0);
}

extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  if (!window) return 0;
  auto previous = ReadWindowLong(*window, index);
  if (!previous) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  WriteWindowLong(*window, index, value);
  return *previous;
}

extern "C" HWND WINAPI GetParent(HWND handle) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  return window ? window->parent : nullptr;
}

extern "C" int WINAPI GetDlgCtrlID(HWND handle) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  return window ? static_cast<int>(window->id) : 0;
}

extern "C" HWND WINAPI GetDlgItem(HWND parent, int id) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(parent);
  if (!window) return nullptr;
  for (HWND child : window->children) {
    if (desktop.PeekLocked(child)->id == id) return child;
  }
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

extern "C" DWORD WINAPI GetWindowThreadProcessId(HWND handle, LPDWORD processId) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  if (!window) return 0;
  if (processId) *processId = GetCurrentProcessId();
  return window->queue->ThreadId();
}

// Top-level windows only; of several matches the newest wins.
extern "C" HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  std::shared_ptr<WindowClass> windowClass;
  if (className != nullptr && !(windowClass = desktop.FindClassLocked(className))) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  std::string title = windowName ? tevrin::win32::Lowercase(windowName) : "";
  HWND newest = nullptr;
  for (auto& [key, window] : desktop.windows) {
    if (window->parent || window->messageOnly) continue;
    if (windowClass && window->windowClass != windowClass) continue;
    if (windowName && tevrin::win32::Lowercase(window->text.c_str()) != title) continue;
    if (key > reinterpret_cast<uintptr_t>(newest)) newest = window->handle;
  }
  if (!newest) SetLastError(ERROR_FILE_NOT_FOUND);
  return newest;
}

extern "C" BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text) {
  if (!IsWindow(handle)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

// The window's own thread asks its procedure; other threads read the stored
// title, so they never block on a thread that is not pumping.
extern "C" int WINAPI GetWindowTextA(HWND handle, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  buffer[0] = '\0';
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* window = desktop.FindLocked(handle);
    if (!window) return 0;
    if (!OwnedByCaller(*window)) return CopyText(window->text, buffer, static_cast<size_t>(size));
  }
  return static_cast<int>(
      SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

extern "C" int WINAPI GetWindowTextLengthA(HWND handle) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.FindLocked(handle);
  return window ? static_cast<int>(window->text.size()) : 0;
}
