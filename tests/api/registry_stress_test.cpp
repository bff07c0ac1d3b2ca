// Several threads create, use and release handles in any order at once.
#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <TevrinSdk_Halden.h>

namespace {

constexpr int kThreads = 4;
// Each handle is a whole camera instance (device object, images, stored
// settings), so a few hundred handles give the interleavings without the hours.
constexpr int kRounds = 25;
constexpr int kHandlesPerRound = 4;

TEST(RegistryStress, HandlesLiveAndDieInAnyOrderOnSeveralThreads) {
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      std::mt19937 random(static_cast<unsigned>(t + 1));
      for (int round = 0; round < kRounds; ++round) {
        std::vector<std::pair<int, int>> handles;  // handle, the wait time it holds
        for (int i = 0; i < kHandlesPerRound; ++i) {
          const int handle = Tevrin_Initialize(nullptr);
          const int wait = t * 250 + round * 10 + i;  // within the wait time's range
          if (handle == 0 || Tevrin_SetWaitTime(handle, wait) != 1) ++failures;
          handles.emplace_back(handle, wait);
        }
        std::shuffle(handles.begin(), handles.end(), random);
        for (auto& [handle, wait] : handles) {
          // Every other live handle still reaches its own instance.
          for (const auto& [other, otherWait] : handles) {
            if (other != 0 && Tevrin_GetWaitTime(other) != otherWait) ++failures;
          }
          if (Tevrin_Release(handle) != 1) ++failures;
          handle = 0;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
