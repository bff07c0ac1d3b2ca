// Events, waits, threads, critical sections and clocks, as a Windows
// programmer expects them to behave.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <vector>

namespace {

struct HandleCloser {
  HANDLE handle;
  ~HandleCloser() { CloseHandle(handle); }
};

TEST(Event, ManualResetStaysSignalledUntilReset) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  HandleCloser closer{event};
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 10), WAIT_TIMEOUT);
}

TEST(Event, AutoResetReleasesOneWaitThenClears) {
  HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  HandleCloser closer{event};
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  SetEvent(event);
  SetEvent(event);  // setting twice does not count twice
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(Event, NamedEventOpensTheSameObject) {
  HANDLE first = CreateEventA(nullptr, TRUE, FALSE, "kernel-test-event");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  HANDLE second = CreateEventA(nullptr, TRUE, FALSE, "kernel-test-event");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_NE(first, second);
  SetEvent(first);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
  CloseHandle(first);
  CloseHandle(second);
  HANDLE fresh = CreateEventA(nullptr, TRUE, FALSE, "kernel-test-event");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "the name dies with its last handle";
  EXPECT_EQ(WaitForSingleObject(fresh, 0), WAIT_TIMEOUT);
  CloseHandle(fresh);
}

TEST(Event, SetFromAnotherThreadWakesAnInfiniteWait) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HandleCloser closer{event};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID parameter) -> DWORD {
        Sleep(20);
        SetEvent(static_cast<HANDLE>(parameter));
        return 0;
      },
      event, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  HandleCloser threadCloser{thread};
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
}

TEST(Handles, BadHandlesFailWithInvalidHandle) {
  struct Case {
    const char* label;
    HANDLE handle;
  };
  HANDLE thread = CreateThread(nullptr, 0, [](LPVOID) -> DWORD { return 7; }, nullptr, 0, nullptr);
  HandleCloser threadCloser{thread};
  // Closed last, so no later object reuses its value inside this test.
  HANDLE closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CloseHandle(closed);
  for (const Case& c : {Case{"null", nullptr}, Case{"invalid", INVALID_HANDLE_VALUE}, Case{"closed", closed},
                        Case{"odd", reinterpret_cast<HANDLE>(0x13)}, Case{"huge", reinterpret_cast<HANDLE>(0x7ffff000)}}) {
    SCOPED_TRACE(c.label);
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(c.handle, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_FALSE(SetEvent(c.handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(c.handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  SetLastError(0);
  EXPECT_FALSE(SetEvent(thread)) << "a thread is not an event";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeThread(closed, &code));
  EXPECT_FALSE(GetExitCodeThread(thread, nullptr));
}

TEST(Thread, ExitCodeIdAndSignalledOnEnd) {
  struct Shared {
    HANDLE go;
    std::atomic<DWORD> idSeen{0};
  } shared{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  HandleCloser goCloser{shared.go};
  DWORD id = 0;
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID parameter) -> DWORD {
        auto* s = static_cast<Shared*>(parameter);
        s->idSeen = GetCurrentThreadId();
        WaitForSingleObject(s->go, INFINITE);
        return 42;
      },
      &shared, 0, &id);
  ASSERT_NE(thread, nullptr);
  HandleCloser closer{thread};
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL));
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
  SetEvent(shared.go);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(shared.idSeen.load(), id);
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
}

TEST(Thread, NullStartRoutineFails) {
  SetLastError(0);
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CriticalSection, ReentrantForOwnerAndExclusiveAcrossThreads) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_TRUE(TryEnterCriticalSection(&section));
  struct Shared {
    CRITICAL_SECTION* section;
    std::atomic<int> tryResult{-1};
  } shared{&section};
  HANDLE probe = CreateThread(
      nullptr, 0,
      [](LPVOID parameter) -> DWORD {
        auto* s = static_cast<Shared*>(parameter);
        s->tryResult = TryEnterCriticalSection(s->section);
        return 0;
      },
      &shared, 0, nullptr);
  WaitForSingleObject(probe, INFINITE);
  CloseHandle(probe);
  EXPECT_EQ(shared.tryResult.load(), FALSE) << "held by this thread";
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);

  // Four threads increment a plain counter under the section.
  struct Counter {
    CRITICAL_SECTION* section;
    int value = 0;
  } counter{&section};
  std::vector<HANDLE> workers;
  for (int i = 0; i < 4; ++i) {
    workers.push_back(CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
          auto* c = static_cast<Counter*>(parameter);
          for (int n = 0; n < 10000; ++n) {
            EnterCriticalSection(c->section);
            ++c->value;
            LeaveCriticalSection(c->section);
          }
          return 0;
        },
        &counter, 0, nullptr));
  }
  for (HANDLE worker : workers) {
    EXPECT_EQ(WaitForSingleObject(worker, INFINITE), WAIT_OBJECT_0);
    CloseHandle(worker);
  }
  EXPECT_EQ(counter.value, 40000);
  DeleteCriticalSection(&section);
}

TEST(Time, ClocksAdvanceAcrossSleepAndTimerPeriodsValidate) {
  DWORD tick = GetTickCount();
  DWORD media = timeGetTime();
  Sleep(30);
  EXPECT_GE(GetTickCount() - tick, 30u);
  EXPECT_GE(timeGetTime() - media, 30u);
  EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
}

TEST(Wait, FiniteTimeoutWaitsAtLeastItsTime) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HandleCloser closer{event};
  DWORD start = GetTickCount();
  EXPECT_EQ(WaitForSingleObject(event, 50), WAIT_TIMEOUT);
  EXPECT_GE(GetTickCount() - start, 49u);
}

TEST(LastError, IsPerThread) {
  SetLastError(1234);
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID) -> DWORD {
        DWORD seen = GetLastError();
        SetLastError(99);
        return seen;
      },
      nullptr, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  DWORD seen = 1;
  GetExitCodeThread(thread, &seen);
  CloseHandle(thread);
  EXPECT_EQ(seen, 0u);
  EXPECT_EQ(GetLastError(), 1234u);
}

}  // namespace
