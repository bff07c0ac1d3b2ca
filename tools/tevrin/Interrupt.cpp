#include "Interrupt.h"

#include <csignal>

namespace tevrin::tool {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
  interrupted = 1;
}

}  // namespace

void CatchInterrupt() {
  std::signal(SIGINT, OnInterrupt);
}

bool Interrupted() {
  return interrupted != 0;
}

}  // namespace tevrin::tool
