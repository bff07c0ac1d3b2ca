// Automatic exposure end to end on a virtual camera whose picture follows
// exposure and gain: a saturated picture is brought into range within a
// bounded number of frames by the exposure (snapshots) or by the gain (a
// callback preview), and with the mode off nothing moves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/ApplicationWindow.h"

namespace {

using ::testing::IsEmpty;
constexpr int kPixels = 640 * 512;
constexpr int kSaturatingExposure = 600;  // 60 ms, about nine times the scene's own level
constexpr int kReferenceExposure = 70;    // 7 ms: the scene's own level at gain 0
constexpr int kSaturatingGain = 250;      // 25 dB

// The mean of a 16-bit frame of 12-bit data on the 8-bit scale.
int MeanLevel(const std::vector<uint16_t>& frame) {
  return static_cast<int>(std::accumulate(frame.begin(), frame.end(), uint64_t{0}) / frame.size()) >> 4;
}

class AutoIris : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = tevrin::test::OpenCameras("0x3280:fast:scene:seed=3");
    ASSERT_NE(handle_, 0);
    ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  }
  void TearDown() override { Tevrin_Release(handle_); }

  void Start(int mode, int exposure, int gain) {
    ASSERT_EQ(Tevrin_SetAutoIris(handle_, 0), 1);
    ASSERT_EQ(Tevrin_SetExposureTime(handle_, exposure), 1);
    ASSERT_EQ(Tevrin_SetGlobalGain(handle_, gain), 1);
    ASSERT_EQ(Tevrin_SetAutoIris(handle_, mode), 1);
  }
  int Snap() {
    EXPECT_EQ(Tevrin_SnapShot(handle_, reinterpret_cast<BYTE*>(frame_.data()), kPixels * 2, 1), 1);
    return MeanLevel(frame_);
  }
  int Exposure() const { return Tevrin_GetExposureTime(handle_, nullptr); }
  int Gain() const { return Tevrin_GetGlobalGain(handle_, nullptr); }

  int handle_ = 0;
  std::vector<uint16_t> frame_ = std::vector<uint16_t>(kPixels);
};

TEST_F(AutoIris, ExposureModeBringsASaturatedPictureIntoRange) {
  Start(1, kSaturatingExposure, 0);
  EXPECT_GT(Snap(), 200) << "the first frame is judged saturated";
  EXPECT_LT(Exposure(), kSaturatingExposure / 3);
  // Each frame scales the exposure once; from saturation a handful suffice.
  int frames = 1, level = 0, exposure = 0;
  do {
    exposure = Exposure();
    level = Snap();
  } while (++frames < 12 && Exposure() != exposure);
  EXPECT_EQ(Exposure(), exposure) << "settled after " << frames << " frames";
  EXPECT_GE(level, 50);
  EXPECT_LE(level, 200);
  EXPECT_EQ(Gain(), 0);
  EXPECT_THAT(tevrin::test::TakeErrors(handle_), IsEmpty());

  // The exposure found is the instance's own: kept with the camera's settings.
  Tevrin_Release(handle_);
  handle_ = Tevrin_Initialize(nullptr);
  ASSERT_NE(handle_, 0);
  EXPECT_EQ(Exposure(), exposure);
  int ok = 0;
  EXPECT_EQ(Tevrin_GetAutoIris(handle_, &ok), 1);
}

TEST_F(AutoIris, GainModeBringsASaturatedPreviewIntoRange) {
  Start(2, kReferenceExposure, kSaturatingGain);
  const HWND window = tevrin::test::CreateApplicationWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window, reinterpret_cast<BYTE*>(frame_.data()), kPixels * 2, 1), 1);
  // A preview judges the newest frame, which may have been taken before the
  // last change: settling takes a few frames more than snapshots do.
  int gain = -1;
  for (int round = 0; round < 20 && Gain() != gain; ++round) {
    gain = Gain();
    tevrin::test::PumpFrameMessages(window, 4, 5.0);
  }
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);
  DestroyWindow(window);
  EXPECT_LT(gain, kSaturatingGain);
  EXPECT_EQ(Gain(), gain) << "the gain settled";
  const int level = MeanLevel(frame_);
  EXPECT_GE(level, 50);
  EXPECT_LE(level, 200);
  EXPECT_EQ(Exposure(), kReferenceExposure);
}

TEST_F(AutoIris, ModeZeroLeavesTheCameraAsItIs) {
  Start(0, kSaturatingExposure, kSaturatingGain);
  for (int frame = 0; frame < 3; ++frame) EXPECT_GT(Snap(), 200);
  EXPECT_EQ(Exposure(), kSaturatingExposure);
  EXPECT_EQ(Gain(), kSaturatingGain);
}

}  // namespace
