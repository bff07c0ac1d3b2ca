// Critical sections are recursive mutexes: the owning thread may enter again,
// and must leave as often as it entered.
#include <windows.h>

extern "C" void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&section->Mutex, &attributes);
  pthread_mutexattr_destroy(&attributes);
}

extern "C" void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_destroy(&section->Mutex); }

extern "C" void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_lock(&section->Mutex); }

extern "C" BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section) {
  return pthread_mutex_trylock(&section->Mutex) == 0;
}

extern "C" void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_unlock(&section->Mutex); }
