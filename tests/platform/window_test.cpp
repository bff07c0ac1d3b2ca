// Window classes and windows as a Windows programmer expects them: creation
// and destruction messages, the child tree, window data, look-up, titles,
// geometry, thread ownership.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "Win32Expect.h"
#include "support/RecordingWindow.h"

namespace {

using tevrin::test::CreateRecordingWindow;
using tevrin::test::Recorder;
using tevrin::test::RecordingClassName;

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(WindowClass, RegistrationFollowsNamesAndLiveWindows) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PlainProcedure;
  windowClass.lpszClassName = "window-test-class";
  ATOM atom = RegisterClassExA(&windowClass);
  ASSERT_NE(atom, 0);
  windowClass.lpszClassName = "WINDOW-TEST-CLASS";
  EXPECT_FAILS(RegisterClassExA(&windowClass), 0, ERROR_CLASS_ALREADY_EXISTS);
  windowClass.cbSize = 4;
  EXPECT_FAILS(RegisterClassExA(&windowClass), 0, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegisterClassExA(nullptr), 0);

  HWND byAtom = CreateWindowExA(0, MAKEINTRESOURCEA(atom), "w", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(byAtom, nullptr);
  EXPECT_FAILS(UnregisterClassA("window-test-class", nullptr), FALSE, ERROR_CLASS_HAS_WINDOWS);
  ASSERT_TRUE(DestroyWindow(byAtom));
  EXPECT_TRUE(UnregisterClassA("Window-Test-Class", nullptr));
  EXPECT_FAILS(UnregisterClassA("window-test-class", nullptr), FALSE, ERROR_CLASS_DOES_NOT_EXIST);
  EXPECT_FAILS(CreateWindowExA(0, "window-test-class", "w", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr,
               ERROR_CANNOT_FIND_WND_CLASS);
}

TEST(Window, CreationAndDestructionSendTheirMessages) {
  Recorder recorder;
  CREATESTRUCTA seen{};
  recorder.reply = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (message == WM_CREATE) seen = *reinterpret_cast<CREATESTRUCTA*>(lParam);
    return std::nullopt;
  };
  HWND window = CreateRecordingWindow(recorder, nullptr, WS_OVERLAPPEDWINDOW, 0, "Active Window");
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(seen.lpCreateParams, &recorder);
  EXPECT_EQ((std::vector<int>{seen.x, seen.y, seen.cx, seen.cy}), (std::vector<int>{10, 20, 300, 200}));
  EXPECT_STREQ(seen.lpszName, "Active Window");

  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(recorder.Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FAILS(DestroyWindow(window), FALSE, ERROR_INVALID_WINDOW_HANDLE);
}

TEST(Window, RefusalInCreateMessagesFailsTheCreation) {
  for (UINT refused : {WM_NCCREATE, WM_CREATE}) {
    SCOPED_TRACE(refused);
    Recorder recorder;
    recorder.reply = [refused](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (message != refused) return std::nullopt;
      return refused == WM_CREATE ? -1 : FALSE;
    };
    EXPECT_EQ(CreateRecordingWindow(recorder), nullptr);
    auto expected = refused == WM_CREATE ? std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}
                                         : std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY};
    EXPECT_EQ(recorder.Messages(), expected);
  }
  EXPECT_EQ(FindWindowA(RecordingClassName(), nullptr), nullptr) << "no half-made window is left behind";
}

TEST(Window, ChildrenAreFoundByIdentifierAndDestroyedWithTheirParent) {
  Recorder parentRecorder, childRecorder;
  std::vector<std::pair<char, UINT>> order;
  auto track = [&order](char who) {
    return [&order, who](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (message == WM_DESTROY || message == WM_NCDESTROY) order.emplace_back(who, message);
      return std::nullopt;
    };
  };
  parentRecorder.reply = track('p');
  childRecorder.reply = track('c');
  HWND parent = CreateRecordingWindow(parentRecorder);
  HWND child = CreateRecordingWindow(childRecorder, parent, WS_CHILD | WS_VISIBLE, 6540);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetParent(parent), nullptr);
  EXPECT_EQ(GetDlgItem(parent, 6540), child);
  EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 6540);
  EXPECT_FAILS(GetDlgItem(parent, 1), nullptr, ERROR_CONTROL_ID_NOT_FOUND);
  EXPECT_FAILS(CreateRecordingWindow(childRecorder, nullptr, WS_CHILD), nullptr, ERROR_TLW_WITH_WSCHILD);
  EXPECT_FAILS(CreateRecordingWindow(childRecorder, reinterpret_cast<HWND>(0x4242), WS_CHILD), nullptr,
               ERROR_INVALID_WINDOW_HANDLE);

  order.clear();
  ASSERT_TRUE(DestroyWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  std::vector<std::pair<char, UINT>> expected{
      {'p', WM_DESTROY}, {'c', WM_DESTROY}, {'c', WM_NCDESTROY}, {'p', WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
}

TEST(Window, OnlyTheOwningThreadDestroysItAndItsEndRemovesIt) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder, HWND_MESSAGE);
  DWORD error = 0;
  std::thread([&] {
    EXPECT_FALSE(DestroyWindow(window));
    error = GetLastError();
  }).join();
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(DestroyWindow(window));

  HWND created = nullptr;
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID out) -> DWORD {
        static Recorder threadRecorder;
        *static_cast<HWND*>(out) = CreateRecordingWindow(threadRecorder);
        return 0;
      },
      &created, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  CloseHandle(thread);
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(IsWindow(created)) << "gone before the thread's handle is signalled";
  std::thread([&] { created = CreateRecordingWindow(recorder); }).join();
  EXPECT_FALSE(IsWindow(created)) << "also for threads not made by CreateThread";
}

TEST(Window, WindowDataAndProcedureCanBeReplaced) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder);
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&recorder));
  auto original = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PlainProcedure));
  SendMessageA(window, WM_USER + 5, 0, 0);
  EXPECT_NE(recorder.Messages().back(), WM_USER + 5u) << "the new procedure answers";
  SetWindowLongPtrA(window, GWLP_WNDPROC, original);
  SetWindowLongPtrA(window, GWL_STYLE, WS_POPUP);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), WS_POPUP);
  EXPECT_FAILS(GetWindowLongPtrA(window, 1000), 0, ERROR_INVALID_INDEX);
  EXPECT_FAILS(SetWindowLongPtrA(nullptr, GWLP_USERDATA, 1), 0, ERROR_INVALID_WINDOW_HANDLE);
  DestroyWindow(window);
}

TEST(Window, TitlesAreSetThroughTheProcedureAndFound) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder, nullptr, 0, 0, "first");
  HWND hidden = CreateRecordingWindow(recorder, HWND_MESSAGE, 0, 0, "Camera 1");
  ASSERT_TRUE(SetWindowTextA(window, "Camera 1"));
  EXPECT_EQ(recorder.Messages().back(), WM_SETTEXT);
  char text[6];
  EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 5);
  EXPECT_STREQ(text, "Camer");
  std::thread([&] {
    char buffer[32];
    GetWindowTextA(window, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Camera 1") << "read without waiting for the owner to pump";
  }).join();
  EXPECT_EQ(FindWindowA(RecordingClassName(), "CAMERA 1"), window) << "message-only windows are not found";
  EXPECT_EQ(FindWindowA(nullptr, "first"), nullptr);
  EXPECT_FAILS(FindWindowA("no-such-class", nullptr), nullptr, ERROR_CANNOT_FIND_WND_CLASS);
  EXPECT_FALSE(SetWindowTextA(nullptr, "x"));
  DestroyWindow(window);
  DestroyWindow(hidden);
}

TEST(Window, GeometryAndVisibilityAreKeptPerWindow) {
  Recorder recorder;
  HWND parent = CreateRecordingWindow(recorder);  // at 10, 20, 300 x 200
  HWND child = CreateRecordingWindow(recorder, parent, WS_CHILD | WS_VISIBLE, 7);
  RECT rect;
  ASSERT_TRUE(MoveWindow(child, 5, 6, 640, 512, TRUE));
  ASSERT_TRUE(SetWindowPos(child, nullptr, 0, 0, 1, 1, SWP_NOSIZE | SWP_NOMOVE));
  ASSERT_TRUE(GetWindowRect(child, &rect));
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{15, 26, 655, 538}));
  GetClientRect(child, &rect);
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{0, 0, 640, 512}));

  EXPECT_FALSE(IsWindowVisible(child)) << "the parent is hidden";
  EXPECT_FALSE(ShowWindow(parent, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_TRUE(ShowWindow(parent, SW_MINIMIZE));
  GetClientRect(parent, &rect);
  EXPECT_EQ(rect.right, 0) << "a minimised window has no client area";
  ShowWindow(parent, SW_RESTORE);
  GetClientRect(parent, &rect);
  EXPECT_EQ(rect.right, 300);

  EXPECT_FAILS(GetClientRect(child, nullptr), FALSE, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(GetWindowRect(nullptr, &rect), FALSE, ERROR_INVALID_WINDOW_HANDLE);
  DestroyWindow(parent);
}

}  // namespace
