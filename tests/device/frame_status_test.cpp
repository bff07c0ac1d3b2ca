// Why each frame ended and the device's counters, driven by the virtual
// camera's faults; what GetFrame reports; the frame rate across captures.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <functional>
#include <vector>

#include "support/DeviceFixture.h"
#include "support/Pattern.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;

using FrameStatusTest = DeviceTest;

// One single-frame capture, waited for to the end of its thread.
void CaptureSingle(TestDevice& device) {
  const int ended = device.loopsEnded;
  ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  ASSERT_TRUE(device.AwaitLoopsEnded(ended + 1));
}

// A product whose counted frame is not retried ends its capture at the
// first failure, so the failure's status is the last one seen.
TEST_F(FrameStatusTest, EachFaultEndsTheCountedFrameWithItsStatus) {
  struct Case {
    const char* fault;
    std::function<void()> inject;
    FrameStatus status;
    FrameStatistics counts;  // completed, failed, overruns, timeouts
  };
  const std::vector<Case> cases = {
      {"none", [] {}, FrameStatus::kComplete, {1, 0, 0, 0}},
      {"short transfer", [] { vc::ShortenNextTransfer(0, 100); }, FrameStatus::kShortTransfer, {0, 1, 0, 0}},
      {"failed header", [] { vc::FailNextFrameHeaders(0, 15); }, FrameStatus::kHeaderFailed, {0, 1, 0, 0}},
      {"stall", [] { vc::StallStream(0, true); }, FrameStatus::kTimeout, {0, 1, 0, 1}},
      {"unplug", [] { vc::Unplug(0); }, FrameStatus::kUnplugged, {0, 1, 0, 0}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.fault);
    TestDevice& device = Open("0x3190:pattern", &MakeTestSensor);
    ASSERT_EQ(device.SetBitDepth(0), 1);
    EXPECT_EQ(device.NewestFrameStatus(), FrameStatus::kNone) << "nothing has ended yet";
    test.inject();
    ASSERT_EQ(device.StartCapture(CaptureMode::kCounted), 1);
    ASSERT_TRUE(device.AwaitLoopsEnded(1));
    const bool complete = test.status == FrameStatus::kComplete;
    EXPECT_EQ(device.WaitFrame(0), complete ? WaitResult::kNewFrame : WaitResult::kError);
    EXPECT_EQ(device.NewestFrameStatus(), test.status);
    const FrameStatistics counts = device.Statistics();
    EXPECT_EQ(counts.completed, test.counts.completed);
    EXPECT_EQ(counts.failed, test.counts.failed);
    EXPECT_EQ(counts.overruns, test.counts.overruns);
    EXPECT_EQ(counts.timeouts, test.counts.timeouts);
    vc::StallStream(0, false);
  }
}

TEST_F(FrameStatusTest, StopWithAbortEndsThePendingFrameAsAborted) {
  TestDevice& device = Open("0x3320:pattern", &MakeTestSensor);
  ASSERT_EQ(device.SetBitDepth(1), 1);
  StopWithAbortWhileStalled(device);
  EXPECT_EQ(device.NewestFrameStatus(), FrameStatus::kAborted);
  const FrameStatistics counts = device.Statistics();
  EXPECT_GE(counts.completed, 1u);
  EXPECT_EQ(counts.failed, 1u);
  EXPECT_EQ(counts.timeouts, 0u);
}

// A frame overwritten in the ring before anyone took it is lost; one taken
// (even the newest only, skipping others) is not.
TEST_F(FrameStatusTest, OverrunsCountFramesOverwrittenBeforeAnyoneTookThem) {
  struct Case {
    const char* consumer;
    int takeEvery;  // 0: never
    uint64_t overruns;
  };
  const std::vector<Case> cases = {
      {"never takes a frame", 0, 4},
      {"takes every frame", 1, 0},
      {"takes every second frame", 2, 2},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.consumer);
    TestDevice& device = Open("0x3280:pattern");
    ASSERT_EQ(device.SetBitDepth(0), 1);
    std::vector<uint8_t> frame = FrameBuffer(1);
    for (int capture = 1; capture <= 8; ++capture) {
      CaptureSingle(device);
      if (test.takeEvery && capture % test.takeEvery == 0) {
        ASSERT_EQ(device.GetFrame(frame.data(), 1), 1);
      }
    }
    const FrameStatistics counts = device.Statistics();
    EXPECT_EQ(counts.completed, 8u);
    EXPECT_EQ(counts.overruns, test.overruns);
  }
}

TEST_F(FrameStatusTest, GetFrameReportsWhetherItCopiedAFrame) {
  std::vector<uint8_t> frame = FrameBuffer(1);
  TestDevice bare;
  EXPECT_EQ(bare.GetFrame(frame.data(), 1), 0) << "no ring";

  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  EXPECT_EQ(device.GetFrame(frame.data(), 1), 0) << "a ring without a frame";

  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
  EXPECT_EQ(device.GetFrame(nullptr, 1), 0) << "no buffer, nothing copied";
  ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
  EXPECT_EQ(device.GetFrame(frame.data(), 1), 1);
  const FrameImage image{frame.data(), 1};
  EXPECT_TRUE(ShowsPattern(image, kUpright, PatternCounter(image, kUpright)));

  vc::Unplug(0);
  ASSERT_EQ(AwaitFailure(device), WaitResult::kError);
  EXPECT_EQ(device.GetFrame(frame.data(), 1), 0) << "the camera is lost: the ring's frames are old";
}

// The meter is not restarted by a start, so one-frame captures that span
// more than its one-second window yield a rate.
TEST_F(FrameStatusTest, FrameRateIsMeasuredAcrossOneFrameCaptures) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  const DWORD start = GetTickCount();
  for (int i = 0; i < 1000 && GetTickCount() - start <= 1100; ++i) CaptureSingle(device);
  CaptureSingle(device);
  EXPECT_GT(device.FrameRate(), 0.0f);
  EXPECT_EQ(device.StopCapture(0), 1);
  EXPECT_EQ(device.FrameRate(), 0.0f) << "a stop clears the rate until the next measurement";
}

// The device tells the controller how this product's header reads recover:
// the large-ring product gives a failed header up at once and tries the
// frame again, others retry the header within the read.
TEST_F(FrameStatusTest, HeaderRecoveryFollowsTheProduct) {
  struct Case {
    const char* cameras;
    uint64_t failed;
  };
  for (const Case& test : {Case{"0x3280:pattern", 0}, Case{"0x32D0:pattern", 1}}) {
    SCOPED_TRACE(test.cameras);
    TestDevice& device = Open(test.cameras, &MakeTestSensor);
    ASSERT_EQ(device.SetBitDepth(1), 1);
    vc::FailNextFrameHeaders(0, 1);
    device.CaptureOne();
    EXPECT_EQ(device.WaitFrame(0), WaitResult::kNoNewFrame) << "no error";
    EXPECT_EQ(device.NewestFrameStatus(), FrameStatus::kComplete);
    EXPECT_EQ(device.Statistics().completed, 1u);
    EXPECT_EQ(device.Statistics().failed, test.failed);
  }
}

}  // namespace
}  // namespace tevrin::test
