// Windows priorities on Linux. Only the acquisition thread asks for more
// than normal, and it blocks on every transfer, so real-time scheduling for
// it cannot starve the rest of the machine; the low real-time levels leave
// room above it for anything the system runs at real time. Threads it starts
// begin at normal priority (reset on fork), as on Windows.
#include "kernel/ThreadScheduling.h"

#include <sched.h>
#include <sys/resource.h>
#include <windows.h>

#include <algorithm>
#include <atomic>

namespace tevrin::win32 {
namespace {

constexpr int kNiceHighest = -20;
constexpr int kNiceLowest = 19;

// The lowest nice value RLIMIT_NICE lets this process set (20 - limit).
int NiceFloor() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kNiceHighest;
  const auto permitted = 20 - static_cast<long long>(limit.rlim_cur);
  return static_cast<int>(std::clamp<long long>(permitted, kNiceHighest, kNiceLowest + 1));
}

bool SetNice(pid_t tid, int nice) {
  return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0;
}

void TraceFallbackOnce() {
  static std::atomic<bool> traced{false};
  if (!traced.exchange(true)) {
    OutputDebugStringA("[platform:debug] thread priority not permitted by the system's limits; a raise is partly or not applied");
  }
}

}  // namespace

ThreadScheduling SchedulingFor(int priority) {
  if (priority >= THREAD_PRIORITY_TIME_CRITICAL) return {SCHED_FIFO, 2, -15};
  if (priority >= THREAD_PRIORITY_HIGHEST) return {SCHED_RR, 1, -10};
  if (priority >= THREAD_PRIORITY_ABOVE_NORMAL) return {SCHED_OTHER, 0, -5};
  if (priority >= THREAD_PRIORITY_NORMAL) return {SCHED_OTHER, 0, 0};
  if (priority >= THREAD_PRIORITY_BELOW_NORMAL) return {SCHED_OTHER, 0, 5};
  if (priority > THREAD_PRIORITY_IDLE) return {SCHED_OTHER, 0, 10};
  return {SCHED_OTHER, 0, kNiceLowest};
}

void ApplyThreadPriority(pid_t tid, int priority) {
  const ThreadScheduling wish = SchedulingFor(priority);
  if (wish.policy != SCHED_OTHER) {
    sched_param param{};
    param.sched_priority = wish.realtimeLevel;
    if (sched_setscheduler(tid, wish.policy | SCHED_RESET_ON_FORK, &param) == 0) return;
  }
  // Leaving real time (or never having it) is always permitted.
  sched_param normal{};
  if (sched_setscheduler(tid, SCHED_OTHER | SCHED_RESET_ON_FORK, &normal) != 0) return;
  if (SetNice(tid, wish.nice)) {
    if (wish.policy != SCHED_OTHER) TraceFallbackOnce();
    return;
  }
  TraceFallbackOnce();
  // The best raise permitted, never a lowering in its place.
  if (SetNice(tid, std::min(std::max(wish.nice, NiceFloor()), 0))) return;
  SetNice(tid, 0);
}

}  // namespace tevrin::win32
