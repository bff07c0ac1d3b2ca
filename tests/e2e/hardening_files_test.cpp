// Files written while the application does other things to the same handle
// on other threads: a recording stopped, restarted and released from three
// threads at once, and mask files saved and loaded while the mask filter
// runs and the handle is released. Under the sanitizers a fault here is a
// report; in any build every file left behind must be whole.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "MaskFileBytes.h"
#include "support/ApplicationWindow.h"
#include "support/Recording.h"

namespace tevrin::test {
namespace {

constexpr int kWidth = 640, kHeight = 512;

class HardeningFiles : public RecordingTest {
 protected:
  // Outlives the handle, whose stream writes into it until TearDown.
  std::vector<BYTE> frame_ = std::vector<BYTE>(kWidth * kHeight * 2);
};

TEST_F(HardeningFiles, RecordingStoppedRestartedAndReleasedFromOtherThreadsLeavesWholeFiles) {
  Open("0x3280:fast:pattern");
  ASSERT_EQ(Tevrin_Record(handle_, PathOf("first.avi").c_str(), 600000, 0), 1);
  WaitForFrames(3);
  const int handle = handle_;
  std::atomic<bool> released{false};
  std::thread restarter([&] {
    for (int i = 0; !released; ++i) {
      Tevrin_StopPreview(handle);
      Tevrin_Record(handle, PathOf("again" + std::to_string(i % 4) + ".avi").c_str(), 600000, 0);
    }
  });
  std::thread watcher([&] {
    CameraInfo info{};
    info.size = sizeof info;
    while (!released) Tevrin_GetCameraInfo(handle, &info);
  });
  Sleep(300);
  std::thread releaser([&] { EXPECT_EQ(Tevrin_Release(handle), 1); });
  releaser.join();
  released = true;
  restarter.join();
  watcher.join();
  handle_ = 0;

  EXPECT_EQ(Tevrin_Record(handle, PathOf("late.avi").c_str(), 1000, 0), 0);
  EXPECT_FALSE(std::filesystem::exists(PathOf("late.avi")));
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Directory())) {
    SCOPED_TRACE(entry.path().string());
    ReadFinishedRecording(entry.path().string(), kWidth, kHeight);
    ++files;
  }
  EXPECT_GE(files, 1);
}

TEST_F(HardeningFiles, MaskFilesSavedAndLoadedWhileTheFilterRunsAndTheHandleIsReleased) {
  Open("0x3280:fast:pattern");
  HWND window = CreateApplicationWindow();
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window, frame_.data(), static_cast<int>(frame_.size()), 1), 1);
  ASSERT_EQ(PumpFrameMessages(window, 1, 10.0).size(), 1u);
  ASSERT_EQ(Tevrin_UpdateMaskData(handle_, 1), 1);
  ASSERT_EQ(Tevrin_SetMaskFilter(handle_, 1), 1);
  const int handle = handle_;
  const std::string path = PathOf("masks.bin");
  std::atomic<bool> releasing{false}, released{false};
  std::atomic<int> roundTrips{0};
  std::thread files([&] {
    while (!released) {
      const bool saved = Tevrin_SaveMaskFile(handle, path.c_str()) == 1;
      const bool loaded = Tevrin_LoadMaskFile(handle, path.c_str()) == 1;
      // Only a Release begun meanwhile may fail either.
      if (!releasing) {
        EXPECT_TRUE(saved && loaded);
      }
      if (saved && loaded) ++roundTrips;
    }
  });
  std::thread updater([&] {
    while (!released) Tevrin_UpdateMaskData(handle, 1);
  });
  while (roundTrips < 3) Sleep(10);
  releasing = true;
  EXPECT_EQ(Tevrin_Release(handle), 1);
  released = true;
  files.join();
  updater.join();
  handle_ = 0;
  DestroyWindow(window);

  EXPECT_EQ(ReadFileBytes(path).size(), kMaskFileSize);
  EXPECT_EQ(Tevrin_SaveMaskFile(handle, path.c_str()), 0);
}

}  // namespace
}  // namespace tevrin::test
