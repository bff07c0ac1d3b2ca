// Acquisition end to end, as an application does it: snapshots, callback
// preview and trigger on a virtual camera showing its test pattern, frame
// notifications received by pumping a window's messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/PatternCamera.h"

namespace {

using ::testing::ElementsAre;
namespace vc = tevrin::virtualcam;
using tevrin::test::kHeight;
using tevrin::test::kWidth;

// The pattern's value at (x, y) relative to (0, 0) of the same frame.
int PatternStep(int x, int y) {
  return x + kWidth * y;
}

class Acquisition : public tevrin::test::PatternCameraTest {};

uint16_t Sample16(const std::vector<uint8_t>& frame, int x, int y) {
  return static_cast<uint16_t>(frame[(y * kWidth + x) * 2] | frame[(y * kWidth + x) * 2 + 1] << 8);
}

TEST_F(Acquisition, SnapshotDeliversEveryPixelInEitherRowOrder) {
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  std::vector<uint8_t> topFirst(kWidth * kHeight * 2);
  ASSERT_EQ(Tevrin_SnapShot(handle_, topFirst.data(), static_cast<int>(topFirst.size()), 1), 1);
  const int base = Sample16(topFirst, 0, 0);
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) wrong += Sample16(topFirst, x, y) != (base + PatternStep(x, y)) % 4096;
  }
  EXPECT_EQ(wrong, 0);

  std::vector<uint8_t> bottomFirst(topFirst.size());
  ASSERT_EQ(Tevrin_GetImage(handle_, bottomFirst.data(), static_cast<int>(bottomFirst.size()), 0), 1);
  EXPECT_EQ(Sample16(bottomFirst, 5, 0), Sample16(topFirst, 5, kHeight - 1));
  EXPECT_EQ(Sample16(bottomFirst, 5, kHeight - 1), Sample16(topFirst, 5, 0));

  ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
  std::vector<uint8_t> eight(kWidth * kHeight);
  ASSERT_EQ(Tevrin_SnapShot(handle_, eight.data(), static_cast<int>(eight.size()), 1), 1);
  // Eight bits carry the upper 8 of the 12: neighbours differ by one step in 16.
  const int first = eight[0];
  EXPECT_EQ(eight[16 * 10] - first, 10);
  EXPECT_THAT(Errors(), ElementsAre());
}

TEST_F(Acquisition, ShortBufferFailsTheCopyButKeepsTheFrame) {
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
  ASSERT_EQ(Tevrin_Capture(handle_), 1);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, nullptr, 0, 1), 0);  // capture prepared: refused
  EXPECT_THAT(Errors(), ElementsAre(8, 1));
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);

  std::vector<uint8_t> frame(kWidth * kHeight);
  EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), static_cast<int>(frame.size()) - 1, 1), 0);
  EXPECT_THAT(Errors(), ElementsAre(5, 5));
  EXPECT_THAT(PumpFrames(1, 1.0), ElementsAre(std::make_pair(WPARAM{0}, LPARAM{5})));
  EXPECT_EQ(Tevrin_GetImage(handle_, frame.data(), static_cast<int>(frame.size()), 1), 1);
  EXPECT_EQ(Tevrin_SnapShot(handle_, nullptr, 0, 1), 1);  // processed, nothing copied
  EXPECT_EQ(Tevrin_SaveImage(handle_, "frame.bmp", TEVRIN_FORMAT_BMP), 1);
}

TEST_F(Acquisition, CallbackPreviewCopiesAndAnnouncesFrames) {
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  ASSERT_EQ(Tevrin_SetWaitTime(handle_, 1), 1);
  std::vector<uint8_t> frame(kWidth * kHeight * 2);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, frame.data(), static_cast<int>(frame.size()), 1), 1);
  EXPECT_EQ(Tevrin_StartPreview(handle_), 1);  // already running: no second thread
  EXPECT_EQ(Tevrin_Capture(handle_), 0);
  EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), static_cast<int>(frame.size()), 1), 0);
  EXPECT_EQ(Tevrin_Trigger(handle_, window_, nullptr, 0, 0), 0);
  EXPECT_THAT(Errors(), ElementsAre(1, 1, 1));

  const auto frames = PumpFrames(20, 20.0);
  ASSERT_EQ(frames.size(), 20u);
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);
  const auto* info = reinterpret_cast<const FrameInfo*>(frames.back().first);
  EXPECT_EQ(info->width, kWidth);
  EXPECT_EQ(info->height, kHeight);
  EXPECT_EQ(info->bitsPerPixel, 16);
  EXPECT_EQ(info->buffer, frame.data());
  const int base = Sample16(frame, 0, 0);
  EXPECT_EQ(Sample16(frame, 639, 511), (base + PatternStep(639, 511)) % 4096);
  EXPECT_EQ(Sample16(frame, 17, 300), (base + PatternStep(17, 300)) % 4096);

  // Stopped: the state is idle again and a new preview starts afresh.
  EXPECT_EQ(Tevrin_Capture(handle_), 1);
  EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
  EXPECT_EQ(Tevrin_Preview(handle_), 1);
  EXPECT_EQ(Tevrin_Close(handle_), 1);
  EXPECT_THAT(Errors(), ElementsAre());
}

TEST_F(Acquisition, TriggerDeliversAFramePerPulse) {
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
  std::vector<uint8_t> frame(kWidth * kHeight);
  std::atomic<bool> started{false};
  // The camera's trigger start-up waits for a first triggered frame.
  std::thread pulser([&] {
    while (!started) {
      vc::PulseTrigger(0);
      Sleep(20);
    }
  });
  const int triggered = Tevrin_Trigger(handle_, window_, frame.data(), static_cast<int>(frame.size()), 1);
  started = true;
  pulser.join();
  ASSERT_EQ(triggered, 1);
  EXPECT_EQ(Tevrin_Trigger(handle_, window_, frame.data(), static_cast<int>(frame.size()), 1), 0);
  EXPECT_THAT(Errors(), ElementsAre(1));
  PumpFrames(100, 0.5);  // whatever the start-up left

  for (int pulse = 0; pulse < 3; ++pulse) {
    Sleep(150);
    vc::PulseTrigger(0);
    const auto frames = PumpFrames(1, 10.0);
    ASSERT_EQ(frames.size(), 1u) << "pulse " << pulse;
    EXPECT_NE(frames[0].first, 0u);
  }
  EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
  EXPECT_EQ(Tevrin_Close(handle_), 1);
}

TEST_F(Acquisition, ReferencesComeFromWholeFramesOnly) {
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  ASSERT_EQ(Tevrin_SnapShot(handle_, nullptr, 0, 1), 1);
  EXPECT_EQ(Tevrin_UpdateMaskData(handle_, 0), 1);
  EXPECT_EQ(Tevrin_UpdateMaskData(handle_, 1), 1);
  EXPECT_EQ(Tevrin_UpdateMaskData(handle_, 2), 0);
  EXPECT_THAT(Errors(), ElementsAre(12));
  ASSERT_EQ(Tevrin_SetCaptureWindowEx(handle_, 640, 0, 640, 512, 0, 256), 1);
  ASSERT_EQ(Tevrin_SnapShot(handle_, nullptr, 0, 1), 1);
  EXPECT_EQ(Tevrin_UpdateMaskData(handle_, 2), 1);  // half a frame: nothing to take
  EXPECT_THAT(Errors(), ElementsAre());
}

TEST_F(Acquisition, UnplugDuringPreviewReportsALostCamera) {
  std::vector<uint8_t> frame(kWidth * kHeight);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, frame.data(), static_cast<int>(frame.size()), 1), 1);
  ASSERT_EQ(PumpFrames(3, 20.0).size(), 3u);
  vc::Unplug(0);
  bool lost = false;
  for (int round = 0; round < 60 && !lost; ++round) {
    for (const auto& [wParam, lParam] : PumpFrames(1000, 0.5))
      lost |= wParam == 0 && lParam == TEVRIN_ERROR_DEVICE_LOST;
  }
  EXPECT_TRUE(lost);
  EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
  EXPECT_EQ(Tevrin_GetLastError(handle_), TEVRIN_ERROR_DEVICE_LOST);
  vc::Plug(0);
}

TEST_F(Acquisition, MonochromeCameraDeliversEightSixteenAndThirtyTwoBits) {
  for (int bits : {24, 48, 64}) EXPECT_EQ(Tevrin_SetColorMode(handle_, bits), 0) << bits;
  EXPECT_THAT(Errors(), ElementsAre(9, 9, 9));
  for (int bits : {8, 16, 32}) {
    ASSERT_EQ(Tevrin_SetColorMode(handle_, bits), 1) << bits;
    std::vector<uint8_t> frame(kWidth * kHeight * bits / 8);
    EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), static_cast<int>(frame.size()), 1), 1) << bits;
    EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), static_cast<int>(frame.size()) - 1, 1), 0) << bits;
    EXPECT_THAT(Errors(), ElementsAre(5, 5)) << bits;
  }
}

}  // namespace
