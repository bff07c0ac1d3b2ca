// Two instances saving the same camera's settings at once, from two threads
// and from two processes.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <set>
#include <thread>

#include "settings/StoredSettings.h"
#include "support/RegistryFixture.h"

extern char** environ;

namespace {

constexpr int kRounds = 40;
constexpr char kChildVariable[] = "TEVRIN_SETTINGS_SAVER";

// Every value of one writer carries its mark (1 or 2: inside every value's
// range), so a reader can tell writers apart.
ImageSettings MarkedImage(int mark) {
  ImageSettings image;
  int* values = &image.brightness;
  for (int i = 0; i < 19; ++i) values[i] = mark;
  return image;
}

AnalogSettings MarkedAnalog(int mark) {
  return {mark, mark, mark, mark, mark, mark, mark % 2, mark % 2, 0, mark, 0, 0, mark, mark / 100.0};
}

// Saves the three groups kRounds times; every save must succeed.
int SaveRepeatedly(int mark) {
  int failures = 0;
  for (int round = 0; round < kRounds; ++round) {
    failures += SaveAnalog(0, MarkedAnalog(mark)) == 1 ? 0 : 1;
    failures += SaveFilter(0, MarkedImage(mark)) == 1 ? 0 : 1;
    failures += SaveGray(0, MarkedImage(mark)) == 1 ? 0 : 1;
  }
  return failures;
}

// Runs in the child process started by the test below.
TEST(ConcurrentSavesChild, Saves) {
  const char* mark = std::getenv(kChildVariable);
  if (!mark) GTEST_SKIP() << "runs only as the second process";
  EXPECT_EQ(SaveRepeatedly(std::atoi(mark)), 0);
}

class ConcurrentSaves : public RegistryTest {
 protected:
  static void ExpectGroupsFrom(const std::set<int>& marks, bool groupsWhole) {
    ImageSettings image = MarkedImage(-1);
    ASSERT_EQ(LoadFilter(0, &image), 1);
    ASSERT_EQ(LoadGray(0, &image), 1);
    const int* values = &image.brightness;
    for (int i = 0; i < 19; ++i) EXPECT_TRUE(marks.count(values[i])) << "value " << i << " = " << values[i];
    if (groupsWhole) {
      for (int i = 1; i < 10; ++i) EXPECT_EQ(values[i], values[0]) << "filter value " << i;
      for (int i = 11; i < 19; ++i) EXPECT_EQ(values[i], values[10]) << "gray value " << i;
    }
    // Every stored value keeps its type and size.
    for (const char* name : {"Global", "ColorG1", "ColorR", "ColorB", "ColorG2", "Exposure", "BlackLevel"}) {
      EXPECT_TRUE(marks.count(Dword(Path(0, "Gain"), name))) << name;
    }
  }
};

TEST_F(ConcurrentSaves, TwoInstancesInOneProcessSaveWholeGroups) {
  ASSERT_EQ(SaveFilter(0, MarkedImage(1)), 1);
  int failures[2] = {};
  std::atomic<int> writing{2};
  std::thread first([&] {
    failures[0] = SaveRepeatedly(1);
    --writing;
  });
  std::thread second([&] {
    failures[1] = SaveRepeatedly(2);
    --writing;
  });
  // A third instance loading meanwhile never sees half of one save.
  int torn = 0;
  while (writing > 0) {
    ImageSettings image;
    LoadFilter(0, &image);
    const int* values = &image.brightness;
    for (int i = 1; i < 10; ++i) torn += values[i] != values[0] ? 1 : 0;
  }
  first.join();
  second.join();
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(failures[0], 0);
  EXPECT_EQ(failures[1], 0);
  ExpectGroupsFrom({1, 2}, true);
}

TEST_F(ConcurrentSaves, TwoProcessesNeverCorruptTheSettings) {
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  setenv(kChildVariable, "1", 1);
  char filter[] = "--gtest_filter=ConcurrentSavesChild.Saves";
  char* argv[] = {self, filter, nullptr};
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, self, nullptr, nullptr, argv, environ), 0);
  unsetenv(kChildVariable);
  const int failures = SaveRepeatedly(2);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(failures, 0);
  ExpectGroupsFrom({1, 2}, false);
  // The settings stay readable and writable afterwards.
  ASSERT_EQ(SaveGray(0, MarkedImage(0)), 1);
  ImageSettings image;
  ASSERT_EQ(LoadGray(0, &image), 1);
  EXPECT_EQ(image.grayGainR, 0);
}

}  // namespace
