// Thread priorities reach the Linux scheduler as far as the process's limits
// allow, and a refused raise never fails the call.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

struct Scheduling {
  int policy;
  int realtimeLevel;
  int nice;
};

struct Case {
  int priority;
  Scheduling expected;
};

struct Parked {
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<pid_t> tid{0};
};

DWORD WINAPI ParkedThread(LPVOID parameter) {
  auto* parked = static_cast<Parked*>(parameter);
  parked->tid = gettid();
  WaitForSingleObject(parked->go, INFINITE);
  return 0;
}

// What a thread that asked for `priority` got from the scheduler; the
// priority is set once the thread runs and again, as a change, after a first one.
Scheduling ObservedFor(int priority) {
  Parked parked;
  HANDLE thread = CreateThread(nullptr, 0, ParkedThread, &parked, 0, nullptr);
  while (parked.tid == 0) Sleep(1);
  const pid_t tid = parked.tid;
  Scheduling seen{-1, -1, -1};
  if (SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL) && SetThreadPriority(thread, priority) &&
      GetThreadPriority(thread) == priority) {
    sched_param param{};
    sched_getparam(tid, &param);
    seen = {sched_getscheduler(tid) & ~SCHED_RESET_ON_FORK, param.sched_priority,
            getpriority(PRIO_PROCESS, static_cast<id_t>(tid))};
  }
  SetEvent(parked.go);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(parked.go);
  return seen;
}

bool Matches(const Scheduling& seen, const Scheduling& expected) {
  return seen.policy == expected.policy && seen.realtimeLevel == expected.realtimeLevel && seen.nice == expected.nice;
}

bool MayUseRealTime() {
  rlimit limit{};
  return geteuid() == 0 || (getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur >= 2);
}

TEST(ThreadPriority, TakesEffectWherePermitted) {
  if (!MayUseRealTime()) GTEST_SKIP() << "this process may not use real-time scheduling";
  const Case cases[] = {
      {THREAD_PRIORITY_TIME_CRITICAL, {SCHED_FIFO, 2, 0}},
      {THREAD_PRIORITY_HIGHEST, {SCHED_RR, 1, 0}},
      {THREAD_PRIORITY_NORMAL, {SCHED_OTHER, 0, 0}},
      {THREAD_PRIORITY_LOWEST, {SCHED_OTHER, 0, 10}},
      {THREAD_PRIORITY_IDLE, {SCHED_OTHER, 0, 19}},
  };
  for (const Case& c : cases) {
    const Scheduling seen = ObservedFor(c.priority);
    EXPECT_TRUE(Matches(seen, c.expected)) << "priority " << c.priority << ": policy " << seen.policy << " level "
                                           << seen.realtimeLevel << " nice " << seen.nice;
  }
}

// In a child process without real-time rights and with RLIMIT_NICE as
// given: root gives up its identity, whose CAP_SYS_NICE ignores the limits.
void ExpectUnderLimits(rlim_t niceLimit, const Case& c) {
  const auto check = [&] {
    const rlimit rtprio{0, 0}, nice{niceLimit, niceLimit};
    if (setrlimit(RLIMIT_RTPRIO, &rtprio) != 0 || setrlimit(RLIMIT_NICE, &nice) != 0) std::_Exit(2);
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::_Exit(3);
    const Scheduling seen = ObservedFor(c.priority);
    if (Matches(seen, c.expected)) std::_Exit(0);
    std::fprintf(stderr, "policy %d level %d nice %d\n", seen.policy, seen.realtimeLevel, seen.nice);
    std::_Exit(1);
  };
  EXPECT_EXIT(check(), testing::ExitedWithCode(0), "") << "priority " << c.priority << ", nice limit " << niceLimit;
}

// Raising RLIMIT_NICE above its hard limit needs CAP_SYS_RESOURCE, which a
// container may not grant; a child process finds out.
bool MaySetNiceLimit(rlim_t niceLimit) {
  const pid_t child = fork();
  if (child == 0) {
    const rlimit nice{niceLimit, niceLimit};
    std::_Exit(setrlimit(RLIMIT_NICE, &nice) == 0 ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ThreadPriority, FallsBackQuietlyWhereLimitsForbid) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  if (getpriority(PRIO_PROCESS, 0) != 0) GTEST_SKIP() << "the tests run at a nice value other than 0";
  // RLIMIT_NICE n permits nice values down to 20 - n.
  const struct {
    rlim_t niceLimit;
    Case c;
  } cases[] = {
      {0, {THREAD_PRIORITY_TIME_CRITICAL, {SCHED_OTHER, 0, 0}}},
      {0, {THREAD_PRIORITY_BELOW_NORMAL, {SCHED_OTHER, 0, 5}}},
      {30, {THREAD_PRIORITY_TIME_CRITICAL, {SCHED_OTHER, 0, -10}}},
      {40, {THREAD_PRIORITY_TIME_CRITICAL, {SCHED_OTHER, 0, -15}}},
      {40, {THREAD_PRIORITY_HIGHEST, {SCHED_OTHER, 0, -10}}},
  };
  int unsettable = 0;
  for (const auto& limited : cases) {
    if (MaySetNiceLimit(limited.niceLimit)) {
      ExpectUnderLimits(limited.niceLimit, limited.c);
    } else {
      ++unsettable;
    }
  }
  if (unsettable > 0) GTEST_SKIP() << unsettable << " cases need a higher RLIMIT_NICE than this process may set";
}

}  // namespace
