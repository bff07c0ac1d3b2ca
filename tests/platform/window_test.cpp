// Window classes and windows as a Windows programmer expects them: creation
// and destruction messages, the child tree, window data, look-up, titles,
// geometry, thread ownership.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "support/RecordingWindow.h"

namespace {

using tevrin::test::CreateRecordingWindow;
using tevrin::test::Recorder;
using tevrin::test::RecordingClassName;

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

WNDCLASSEXA PlainClass(const char* name) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PlainProcedure;
  windowClass.lpszClassName = name;
  return windowClass;
}

TEST(WindowClass, RegistrationAndUnregistrationFollowWindows) {
  WNDCLASSEXA windowClass = PlainClass("window-test-class");
  ATOM atom = RegisterClassExA(&windowClass);
  ASSERT_NE(atom, 0);
  WNDCLASSEXA sameNameOtherCase = PlainClass("WINDOW-TEST-CLASS");
  EXPECT_EQ(RegisterClassExA(&sameNameOtherCase), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

  HWND byAtom = CreateWindowExA(0, MAKEINTRESOURCEA(atom), "w", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(byAtom, nullptr);
  EXPECT_FALSE(UnregisterClassA("window-test-class", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  ASSERT_TRUE(DestroyWindow(byAtom));
  EXPECT_TRUE(UnregisterClassA("Window-Test-Class", nullptr));
  EXPECT_FALSE(UnregisterClassA("window-test-class", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
  EXPECT_EQ(CreateWindowExA(0, "window-test-class", "w", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST(WindowClass, BadRegistrationsAreRefused) {
  EXPECT_EQ(RegisterClassExA(nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  WNDCLASSEXA wrongSize = PlainClass("wrong-size");
  wrongSize.cbSize = 4;
  EXPECT_EQ(RegisterClassExA(&wrongSize), 0);
  WNDCLASSEXA noName = PlainClass(nullptr);
  EXPECT_EQ(RegisterClassExA(&noName), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Window, CreationAndDestructionSendTheirMessages) {
  Recorder recorder;
  CREATESTRUCTA seen{};
  recorder.reply = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (message == WM_CREATE) seen = *reinterpret_cast<CREATESTRUCTA*>(lParam);
    return std::nullopt;
  };
  HWND window = CreateRecordingWindow(recorder, nullptr, WS_OVERLAPPEDWINDOW, 0, "Active Window");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(recorder.Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
  EXPECT_EQ(seen.lpCreateParams, &recorder);
  EXPECT_EQ(seen.x, 10);
  EXPECT_EQ(seen.y, 20);
  EXPECT_EQ(seen.cx, 300);
  EXPECT_EQ(seen.cy, 200);
  EXPECT_EQ(static_cast<DWORD>(seen.style), WS_OVERLAPPEDWINDOW);
  EXPECT_STREQ(seen.lpszName, "Active Window");
  EXPECT_STREQ(seen.lpszClass, RecordingClassName());

  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(recorder.Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
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
    std::vector<UINT> expected = refused == WM_CREATE
                                     ? std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}
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
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetParent(parent), nullptr);
  EXPECT_EQ(GetDlgItem(parent, 6540), child);
  EXPECT_EQ(GetDlgCtrlID(child), 6540);
  EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 6540);
  EXPECT_EQ(GetDlgItem(parent, 1), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));

  ASSERT_TRUE(DestroyWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  std::vector<std::pair<char, UINT>> expected{
      {'p', WM_DESTROY}, {'c', WM_DESTROY}, {'c', WM_NCDESTROY}, {'p', WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
}

TEST(Window, BadParentsAreRefused) {
  Recorder recorder;
  EXPECT_EQ(CreateRecordingWindow(recorder, nullptr, WS_CHILD), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
  EXPECT_EQ(CreateRecordingWindow(recorder, reinterpret_cast<HWND>(0x4242), WS_CHILD), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(Window, MessageOnlyWindowIsNotTopLevel) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder, HWND_MESSAGE, 0, 0, "hidden receiver");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_EQ(FindWindowA(nullptr, "hidden receiver"), nullptr);
  EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
  EXPECT_EQ(recorder.Messages().back(), WM_USER);
  DestroyWindow(window);
}

TEST(Window, OnlyTheOwningThreadDestroysIt) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder);
  DWORD error = 0;
  BOOL destroyed = TRUE;
  std::thread([&] {
    destroyed = DestroyWindow(window);
    error = GetLastError();
  }).join();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(DestroyWindow(window));
}

TEST(Window, WindowsOfAnEndedThreadAreGone) {
  HWND created = nullptr;
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID out) -> DWORD {
        static Recorder recorder;
        *static_cast<HWND*>(out) = CreateRecordingWindow(recorder);
        return 0;
      },
      &created, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  CloseHandle(thread);
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(IsWindow(created));

  Recorder recorder;
  std::thread([&] { created = CreateRecordingWindow(recorder); }).join();
  EXPECT_FALSE(IsWindow(created)) << "also for threads not made by CreateThread";
}

TEST(Window, WindowLongsKeepDataAndSwapProcedures) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder, nullptr, WS_OVERLAPPED);
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&recorder));

  auto original = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PlainProcedure));
  EXPECT_NE(original, 0);
  SendMessageA(window, WM_USER + 5, 0, 0);
  EXPECT_NE(recorder.Messages().back(), WM_USER + 5u) << "the new procedure answers";
  SetWindowLongPtrA(window, GWLP_WNDPROC, original);

  SetWindowLongPtrA(window, GWL_STYLE, WS_POPUP);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), WS_POPUP);
  EXPECT_EQ(GetWindowLongPtrA(window, 1000), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(SetWindowLongPtrA(nullptr, GWLP_USERDATA, 1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  DestroyWindow(window);
}

TEST(Window, FindWindowMatchesClassAndTitle) {
  Recorder recorder;
  HWND first = CreateRecordingWindow(recorder, nullptr, 0, 0, "first");
  HWND second = CreateRecordingWindow(recorder, nullptr, 0, 0, "second");
  EXPECT_EQ(FindWindowA(RecordingClassName(), "FIRST"), first);
  EXPECT_EQ(FindWindowA(nullptr, "second"), second);
  EXPECT_EQ(FindWindowA(RecordingClassName(), nullptr), second) << "the newest of several";
  EXPECT_EQ(FindWindowA(nullptr, "third"), nullptr);
  EXPECT_EQ(FindWindowA("no-such-class", nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
  DestroyWindow(first);
  DestroyWindow(second);
}

TEST(Window, TitlesGoThroughTheProcedureAndTruncate) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder);
  ASSERT_TRUE(SetWindowTextA(window, "Camera 1"));
  EXPECT_EQ(recorder.Messages().back(), WM_SETTEXT);
  char text[6];
  EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 5);
  EXPECT_STREQ(text, "Camer");
  EXPECT_EQ(GetWindowTextLengthA(window), 8);
  std::string fromOtherThread;
  std::thread([&] {
    char buffer[32];
    GetWindowTextA(window, buffer, sizeof buffer);
    fromOtherThread = buffer;
  }).join();
  EXPECT_EQ(fromOtherThread, "Camera 1") << "read without waiting for this thread to pump";
  EXPECT_EQ(GetWindowTextA(window, nullptr, 4), 0);
  EXPECT_FALSE(SetWindowTextA(nullptr, "x"));
  DestroyWindow(window);
}

TEST(Window, GeometryIsKeptPerWindow) {
  Recorder recorder;
  HWND parent = CreateRecordingWindow(recorder);  // at 10, 20, 300 x 200
  HWND child = CreateRecordingWindow(recorder, parent, WS_CHILD | WS_VISIBLE, 7);
  RECT rect;
  ASSERT_TRUE(GetClientRect(child, &rect));
  EXPECT_EQ(rect.right, 300);
  EXPECT_EQ(rect.bottom, 200);
  ASSERT_TRUE(MoveWindow(child, 5, 6, 640, 512, TRUE));
  ASSERT_TRUE(GetWindowRect(child, &rect));
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{15, 26, 655, 538}));
  ASSERT_TRUE(SetWindowPos(child, nullptr, 0, 0, 1, 1, SWP_NOSIZE | SWP_NOZORDER));
  GetClientRect(child, &rect);
  EXPECT_EQ(rect.right, 640) << "SWP_NOSIZE keeps the size";

  EXPECT_FALSE(IsWindowVisible(child)) << "the parent is hidden";
  EXPECT_FALSE(ShowWindow(parent, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_TRUE(ShowWindow(parent, SW_MINIMIZE));
  GetClientRect(parent, &rect);
  EXPECT_EQ(rect.right, 0) << "a minimised window has no client area";
  ShowWindow(parent, SW_RESTORE);
  GetClientRect(parent, &rect);
  EXPECT_EQ(rect.right, 300);
  ShowWindow(child, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(child));

  EXPECT_FALSE(GetClientRect(child, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(GetWindowRect(nullptr, &rect));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  DestroyWindow(parent);
}

}  // namespace
