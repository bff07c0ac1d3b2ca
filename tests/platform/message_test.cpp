// Message queues as a Windows programmer expects them: posting from any
// thread, sending across threads, filters, quit, the posting quota, bad handles.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "Win32Expect.h"
#include "support/RecordingWindow.h"

namespace {

using tevrin::test::CreateRecordingWindow;
using tevrin::test::Recorder;

constexpr UINT kFrame = WM_APP + 2;  // 32770
constexpr UINT kError = WM_APP + 3;  // 32771

// A thread with a window of its own, pumping until WM_QUIT.
class PumpingThread {
 public:
  PumpingThread() {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] {
      window_ = CreateRecordingWindow(recorder);
      threadId_ = GetCurrentThreadId();
      SetEvent(ready);
      MSG message;
      while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
  }
  ~PumpingThread() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND Window() const { return window_; }
  DWORD ThreadId() const { return threadId_; }
  Recorder recorder;

 private:
  std::thread thread_;
  HWND window_ = nullptr;
  DWORD threadId_ = 0;
};

TEST(PostMessage, WorkersPostToAPumpingThreadInOrder) {
  PumpingThread pumping;
  HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  pumping.recorder.reply = [finished](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == kError) SetEvent(finished);
    return std::nullopt;
  };
  std::vector<std::thread> workers;
  for (WPARAM worker = 0; worker < 4; ++worker) {
    workers.emplace_back([&pumping, worker] {
      for (LPARAM n = 0; n < 500; ++n) ASSERT_TRUE(PostMessageA(pumping.Window(), kFrame, worker, n));
    });
  }
  for (auto& worker : workers) worker.join();
  PostMessageA(pumping.Window(), kError, 0, 0);
  ASSERT_EQ(WaitForSingleObject(finished, 10000), WAIT_OBJECT_0);
  CloseHandle(finished);
  std::vector<LPARAM> next(4, 0);
  for (const auto& received : pumping.recorder.All()) {
    if (received.message != kFrame) continue;
    EXPECT_EQ(received.threadId, pumping.ThreadId());
    ASSERT_EQ(received.lParam, next[received.wParam]++) << "each worker's messages keep their order";
  }
  EXPECT_EQ(next, (std::vector<LPARAM>{500, 500, 500, 500}));
}

TEST(PostMessage, NullWindowAndThreadMessagesReachTheThreadQueue) {
  ASSERT_TRUE(PostMessageA(nullptr, kError, 3, 4));
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.hwnd, nullptr);
  EXPECT_EQ(message.message, kError);
  EXPECT_EQ(message.lParam, 4);

  DWORD self = GetCurrentThreadId();
  std::thread([self] { EXPECT_TRUE(PostThreadMessageA(self, kFrame, 1, 2)); }).join();
  ASSERT_TRUE(PeekMessageA(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, kFrame);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(PostMessage, FiltersSelectByWindowAndRange) {
  Recorder recorder;
  HWND first = CreateRecordingWindow(recorder);
  HWND second = CreateRecordingWindow(recorder);
  PostMessageA(first, WM_USER + 1, 0, 0);
  PostMessageA(second, WM_USER + 2, 0, 0);
  PostMessageA(nullptr, WM_USER + 3, 0, 0);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 2, WM_USER + 3, PM_NOREMOVE));
  EXPECT_EQ(message.message, WM_USER + 2u);
  ASSERT_EQ(GetMessageA(&message, second, 0, 0), TRUE);
  EXPECT_EQ(message.message, WM_USER + 2u) << "PM_NOREMOVE left it in place";
  EXPECT_FALSE(PeekMessageA(&message, second, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER + 3u);
  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
  EXPECT_EQ(message.hwnd, first);

  EXPECT_FAILS(GetMessageA(&message, reinterpret_cast<HWND>(0x4242), 0, 0), -1, ERROR_INVALID_WINDOW_HANDLE);
  PumpingThread other;
  EXPECT_EQ(GetMessageA(&message, other.Window(), 0, 0), -1) << "a window of another thread";
  DestroyWindow(first);
  DestroyWindow(second);
}

TEST(PostMessage, QuitComesAfterPostedMessagesAndPassesAnyFilter) {
  PostMessageA(nullptr, WM_USER, 0, 0);
  PostQuitMessage(7);
  MSG message;
  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
  EXPECT_EQ(message.message, WM_USER);
  EXPECT_EQ(GetMessageA(&message, nullptr, WM_APP, WM_APP), FALSE);
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "quit is taken once";
}

TEST(PostMessage, QuotaStopsAStuckReceiver) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder);
  for (int n = 0; n < 10000; ++n) ASSERT_TRUE(PostMessageA(window, kFrame, 0, n));
  EXPECT_FAILS(PostMessageA(window, kFrame, 0, 0), FALSE, ERROR_NOT_ENOUGH_QUOTA);
  EXPECT_FALSE(PostMessageA(nullptr, kFrame, 0, 0)) << "the quota is per queue";
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(PostMessageA(window, kFrame, 0, 0));
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "a destroyed window's messages are dropped";
}

TEST(SendMessage, RunsOnTheWindowsThreadAndWaitersServeSendsToThem) {
  Recorder recorder;
  recorder.reply = [](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_USER) return static_cast<LRESULT>(wParam * 2);
    return std::nullopt;
  };
  HWND mine = CreateRecordingWindow(recorder);
  EXPECT_EQ(SendMessageA(mine, WM_USER, 21, 0), 42);
  PumpingThread other;
  other.recorder.reply = [mine](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_USER) return SendMessageA(mine, WM_USER, 50, 0) + 1;  // back to the waiting sender
    return std::nullopt;
  };
  EXPECT_EQ(SendMessageA(other.Window(), WM_USER, 0, 0), 101);
  EXPECT_EQ(other.recorder.All().back().threadId, other.ThreadId());
  EXPECT_EQ(recorder.All().back().threadId, GetCurrentThreadId()) << "served inside this thread's wait";
  DestroyWindow(mine);
}

TEST(SendMessage, AWindowWhoseThreadEndedAnswersZero) {
  HANDLE sending = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HWND window = nullptr;
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Recorder recorder;
  std::thread receiver([&] {
    window = CreateRecordingWindow(recorder);
    SetEvent(ready);
    WaitForSingleObject(sending, INFINITE);
    Sleep(20);  // usually lets the send queue up first; either order must answer 0
  });
  WaitForSingleObject(ready, INFINITE);
  LRESULT result = -1;
  std::thread sender([&] {
    SetEvent(sending);
    result = SendMessageA(window, WM_USER, 0, 0);
  });
  sender.join();
  receiver.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(recorder.Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE})) << "never run";
  EXPECT_FAILS(SendMessageA(window, WM_USER, 0, 0), 0, ERROR_INVALID_WINDOW_HANDLE);
  CloseHandle(sending);
  CloseHandle(ready);
}

TEST(PostMessage, PostingToWindowsBeingDestroyedEitherLandsOrFails) {
  std::atomic<HWND> latest{nullptr};
  std::atomic<int> done{0};
  std::thread poster([&] {
    while (!done.load()) {
      if (!PostMessageA(latest.load(), WM_USER, 0, 0) && latest.load() != nullptr) {
        EXPECT_TRUE(GetLastError() == ERROR_INVALID_WINDOW_HANDLE || GetLastError() == ERROR_NOT_ENOUGH_QUOTA);
      }
      SendMessageA(latest.load(), WM_USER, 0, 0);
    }
  });
  Recorder recorder;
  for (int round = 0; round < 200; ++round) {
    HWND window = CreateRecordingWindow(recorder);
    latest.store(window);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    DestroyWindow(window);
  }
  done.store(1);
  poster.join();
}

TEST(Messages, BadHandlesAndArgumentsFailCleanly) {
  HWND bogus = reinterpret_cast<HWND>(0x4242);
  EXPECT_FAILS(PostMessageA(bogus, WM_USER, 0, 0), FALSE, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FAILS(PostThreadMessageA(0xFFFFFF, WM_USER, 0, 0), FALSE, ERROR_INVALID_THREAD_ID);
  EXPECT_FAILS(SendMessageA(bogus, WM_USER, 0, 0), 0, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
  EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(nullptr), 0);
  MSG toBogus{bogus, WM_USER, 0, 0, 0, {0, 0}};
  EXPECT_FAILS(DispatchMessageA(&toBogus), 0, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(TranslateMessage(&toBogus));
  EXPECT_FALSE(IsWindow(nullptr));
  EXPECT_FALSE(IsWindow(bogus));
}

}  // namespace
