// An acquisition whose thread cannot be started fails with its code and
// leaves nothing to wait for.
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

#include "support/InstanceFixture.h"

namespace {

std::atomic<bool> refuseThreads{false};

}  // namespace

// Stands in for the platform's CreateThread in this program only.
extern "C" HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                      LPVOID argument, DWORD flags, LPDWORD id) {
  using Real = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);
  static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "CreateThread"));
  if (refuseThreads) return nullptr;
  return real(attributes, stackSize, start, argument, flags, id);
}

namespace {

using ::testing::ElementsAre;

class ThreadStart : public InstanceTest {
 protected:
  void TearDown() override { refuseThreads = false; }
};

TEST_F(ThreadStart, RefusedThreadFailsTheStartAndStopsAtOnce) {
  auto instance = Make();
  refuseThreads = true;
  EXPECT_EQ(instance->StartPreview(), 0);
  EXPECT_EQ(instance->Trigger(nullptr, nullptr, 0, 0), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(TEVRIN_ERROR_THREAD_START, TEVRIN_ERROR_THREAD_START));
  EXPECT_EQ(instance->AcquisitionState(), AcquisitionState::Idle);
  EXPECT_EQ(instance->StopPreview(), 1);
  refuseThreads = false;
  EXPECT_EQ(instance->StartPreview(), 1);
  EXPECT_EQ(instance->StopPreview(), 1);
}

}  // namespace
