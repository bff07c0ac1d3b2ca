// Millisecond clocks and sleeps. Linux timers are already fine-grained, so the
// multimedia timer period requests only check their argument.
#include <windows.h>

#include <sched.h>
#include <time.h>
#include <unistd.h>

namespace {
DWORD MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}
}  // namespace

extern "C" void WINAPI Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  if (milliseconds == INFINITE) {
    for (;;) pause();
  }
  timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&remaining, &remaining) != 0) {
  }
}

extern "C" DWORD WINAPI GetTickCount(void) { return MonotonicMilliseconds(); }

extern "C" DWORD WINAPI timeGetTime(void) { return MonotonicMilliseconds(); }

extern "C" MMRESULT WINAPI timeBeginPeriod(UINT periodMs) { return periodMs == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

extern "C" MMRESULT WINAPI timeEndPeriod(UINT periodMs) { return periodMs == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }
