// The acquisition driven the way applications drive it, including the ways
// they get it wrong: settings changed under a running acquisition, a new
// buffer handed to a running preview, starts racing each other, Close and
// Release while frames are drawn. Run under the sanitizers, a fault here is
// a crash or a report, not only a failed expectation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/ApplicationWindow.h"
#include "support/PatternCamera.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using tevrin::test::kHeight;
using tevrin::test::kWidth;
constexpr int kFrame8 = kWidth * kHeight;
constexpr int kFrame16 = kWidth * kHeight * 2;
constexpr DWORD kTopLevelStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

class AcquisitionSafety : public tevrin::test::PatternCameraTest {
 protected:
  void SetUp() override {
    PatternCameraTest::SetUp();
    ASSERT_EQ(Tevrin_SetWaitTime(handle_, 1), 1);
  }

  // The frame notifications of the next `wanted` frames: 1 for each good
  // one, minus the error code of each failed one. (The frame block itself is
  // rewritten by the next frame, so it is read only once the preview stops.)
  std::vector<int> FrameResults(size_t wanted) {
    std::vector<int> results;
    for (const auto& [wParam, lParam] : PumpFrames(wanted, 20.0)) {
      results.push_back(wParam ? 1 : -static_cast<int>(lParam));
      if (wParam) lastInfo_ = reinterpret_cast<const FrameInfo*>(wParam);
    }
    return results;
  }

  const FrameInfo* lastInfo_ = nullptr;
};

TEST_F(AcquisitionSafety, ColourModeChangeWaitsForTheNextSetupInEveryAcquisition) {
  std::vector<uint8_t> frame(kFrame8);
  const int size = static_cast<int>(frame.size());

  SCOPED_TRACE("prepared capture");
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
  ASSERT_EQ(Tevrin_Capture(handle_), 1);
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), size, 1), 1);
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);
  EXPECT_THAT(Errors(), ElementsAre());

  SCOPED_TRACE("the next setup takes the new mode");
  std::vector<uint8_t> wide(kFrame16);
  EXPECT_EQ(Tevrin_SnapShot(handle_, wide.data(), static_cast<int>(wide.size()), 1), 1);
  EXPECT_THAT(Errors(), ElementsAre());

  SCOPED_TRACE("preview");
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, frame.data(), size, 1), 1);
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  EXPECT_THAT(FrameResults(5), ElementsAre(1, 1, 1, 1, 1));
  EXPECT_EQ(Tevrin_GetImage(handle_, frame.data(), size, 1), 1);
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);
  ASSERT_NE(lastInfo_, nullptr);
  EXPECT_EQ(lastInfo_->bitsPerPixel, 8);
  EXPECT_THAT(Errors(), ElementsAre());
}

TEST_F(AcquisitionSafety, StillOfALastFrameKeepsTheModeItWasTakenIn) {
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  std::vector<uint8_t> frame(kFrame16);
  ASSERT_EQ(Tevrin_SnapShot(handle_, frame.data(), static_cast<int>(frame.size()), 1), 1);
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
  const std::string path = ::testing::TempDir() + "acquisition_safety_still.raw";
  ASSERT_EQ(Tevrin_SaveImage(handle_, path.c_str(), TEVRIN_FORMAT_RAW), 1);
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> saved{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  EXPECT_EQ(saved, frame);
  std::remove(path.c_str());
}

TEST_F(AcquisitionSafety, RunningPreviewTakesANewBufferWithItsOwnSize) {
  std::vector<uint8_t> first(kFrame8);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, first.data(), kFrame8, 1), 1);
  ASSERT_EQ(FrameResults(2).size(), 2u);

  // Too small for a frame: refused frame by frame, never written past.
  std::vector<uint8_t> small(4096, 0xA5);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, small.data(), 100, 1), 1);
  const std::vector<uint8_t> firstAfterSwap = first;
  const std::vector<int> results = FrameResults(6);
  ASSERT_EQ(results.size(), 6u);
  EXPECT_THAT(std::vector<int>(results.end() - 3, results.end()), Each(-TEVRIN_ERROR_BUFFER));
  EXPECT_THAT(small, Each(0xA5));
  EXPECT_EQ(first, firstAfterSwap) << "the first buffer is no longer written";

  // Preview without a buffer: no copy into either.
  ASSERT_EQ(Tevrin_Preview(handle_), 1);
  Sleep(100);
  EXPECT_THAT(small, Each(0xA5));
  EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
}

TEST_F(AcquisitionSafety, NegativeSizesAreRefusedAsTooSmall) {
  std::vector<uint8_t> frame(16, 0x5A);
  EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), -1, 1), 0);
  EXPECT_EQ(Tevrin_GetImage(handle_, frame.data(), -1, 1), 0);
  EXPECT_THAT(frame, Each(0x5A));
  // Each refusal records the copy's code and its own.
  EXPECT_THAT(Errors(),
              ElementsAre(TEVRIN_ERROR_BUFFER, TEVRIN_ERROR_BUFFER, TEVRIN_ERROR_BUFFER, TEVRIN_ERROR_BUFFER));
}

TEST_F(AcquisitionSafety, ConcurrentStartsRunOneAcquisition) {
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    int results[2] = {};
    std::thread other([&] { results[1] = Tevrin_StartPreview(handle_); });
    results[0] = Tevrin_StartPreview(handle_);
    other.join();
    EXPECT_EQ(results[0], 1);
    EXPECT_EQ(results[1], 1);
    EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
  }
  // A thread left behind by a lost start would outlive the instance.
  ASSERT_EQ(Tevrin_StartPreview(handle_), 1);
  ASSERT_EQ(Tevrin_Release(handle_), 1);
  handle_ = 0;
}

TEST_F(AcquisitionSafety, CloseAndReleaseWhileFramesAreDrawn) {
  HWND parent = tevrin::test::CreateApplicationWindow(kTopLevelStyle, 800, 600, nullptr);
  ASSERT_NE(parent, nullptr);
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);  // drawn through the reduction and the scaling
  ASSERT_EQ(Tevrin_SetPreviewWindow(handle_, parent, 0, 0, 320, 200), 1);
  std::vector<uint8_t> frame(kFrame16);
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, frame.data(), kFrame16, 1), 1);
    ASSERT_FALSE(FrameResults(1).empty());
    // The window goes on the thread that made it, as windows do; another
    // thread stops the same acquisition meanwhile.
    std::thread stopper([&] { EXPECT_EQ(Tevrin_StopPreview(handle_), 1); });
    EXPECT_EQ(Tevrin_Close(handle_), 1);
    stopper.join();
    EXPECT_EQ(GetDlgItem(parent, 6540), nullptr);
  }
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, frame.data(), kFrame16, 1), 1);
  ASSERT_FALSE(FrameResults(1).empty());
  ASSERT_EQ(Tevrin_Release(handle_), 1);
  handle_ = 0;
  EXPECT_EQ(GetDlgItem(parent, 6540), nullptr);
  DestroyWindow(parent);
}

TEST_F(AcquisitionSafety, SettingsChangeWhileFramesAreProcessed) {
  std::vector<uint8_t> frame(kFrame8);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, frame.data(), kFrame8, 1), 1);
  std::thread application([&] {
    for (int i = 0; i < 200; ++i) {
      Tevrin_SetGrayMode(handle_, 1);
      Tevrin_SetFilterValue(handle_, 28, 1);  // measure the gray gains once
      Tevrin_SetMirrorH(handle_, i & 1);
      Tevrin_SetColorMode(handle_, i & 1 ? 16 : 8);
      Tevrin_SetBrightness(handle_, i % 100);
    }
  });
  const std::vector<int> results = FrameResults(10);
  application.join();
  ASSERT_EQ(results.size(), 10u);
  EXPECT_THAT(results, Each(1));
  EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
  EXPECT_THAT(Errors(), ElementsAre());
}

}  // namespace
