// How a Windows thread priority becomes Linux scheduling for one thread: the
// top two priorities ask for real-time scheduling, the others for a nice
// value, each as far as the process's limits allow.
#pragma once

#include <sys/types.h>

namespace tevrin::win32 {

struct ThreadScheduling {
  int policy;          // SCHED_FIFO, SCHED_RR or SCHED_OTHER
  int realtimeLevel;   // sched_priority under SCHED_FIFO / SCHED_RR, else 0
  int nice;            // under SCHED_OTHER; also the fallback of a real-time wish
};

// What a priority asks for (any int; values between the named ones round
// toward normal).
ThreadScheduling SchedulingFor(int priority);

// Gives thread `tid` the scheduling of `priority`, or the nearest the limits
// permit: real time, else the nice value raised as far as RLIMIT_NICE allows,
// else normal. Never fails; a refused wish is traced once per process.
void ApplyThreadPriority(pid_t tid, int priority);

}  // namespace tevrin::win32
