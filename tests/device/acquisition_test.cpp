// The acquisition thread and the ring: single, counted and continuous
// captures, the ring's overwrite rule, the frame wait, trigger mode, and
// what stalls, aborts and unplugs do.
#include <gtest/gtest.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <atomic>
#include <thread>
#include <vector>

#include "support/DeviceFixture.h"
#include "support/Pattern.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;
namespace fpga = tevrin::hardware::fpga;

// 200 ms frames on the standard board: time enough for any build, loaded
// or instrumented, to copy and check each frame before the next.
constexpr uint32_t kSlowVmax = 15432;

using AcquisitionTest = DeviceTest;

// The frame counter of the newest slot (or of slot 0), without marking it read.
int PeekCounter(CTevrinU3K5Base& device, bool slot0 = false) {
  int counter = -2;
  EXPECT_EQ(device.CopyFrame(nullptr, device.FrameSize(), &counter, nullptr, nullptr, nullptr, nullptr, slot0, 1), 1);
  return counter;
}

// One single-frame capture; the counter of the frame it stored.
int CaptureSingle(TestDevice& device) {
  const int ended = device.loopsEnded;
  EXPECT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  EXPECT_TRUE(device.AwaitLoopsEnded(ended + 1));
  return PeekCounter(device);
}

TEST_F(AcquisitionTest, SingleModeDeliversOneFrameAndEnds) {
  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  EXPECT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame);
  EXPECT_TRUE(device.AwaitLoopsEnded(1)) << "the thread ends after its frame";
  std::vector<uint8_t> frame = FrameBuffer(1);
  int counter = -1, word32 = -1;
  EXPECT_EQ(device.GetFrameInfo(frame.data(), &counter, nullptr, &word32, nullptr, nullptr, 1), 0);
  EXPECT_EQ(word32, counter) << "the header's counter";
  EXPECT_TRUE(ShowsPattern({frame.data(), 1}, kUpright, counter));
  EXPECT_EQ(device.WaitFrame(300), WaitResult::kNoNewFrame) << "read, and no other frame came";
  EXPECT_EQ(device.WaitFrame(300), WaitResult::kNoNewFrame);
}

TEST_F(AcquisitionTest, WaitFrameReportsANewFrameUntilItIsCopied) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  EXPECT_EQ(device.WaitFrame(10), WaitResult::kNoNewFrame) << "nothing started";
  ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  ASSERT_TRUE(device.AwaitLoopsEnded(1));
  EXPECT_EQ(device.WaitFrame(1000), WaitResult::kNewFrame);
  std::vector<uint8_t> frame = FrameBuffer(1);
  EXPECT_EQ(device.GetFrame(frame.data(), 0), 1);
  EXPECT_EQ(device.WaitFrame(200), WaitResult::kNoNewFrame);
}

TEST_F(AcquisitionTest, FiveFramesIntoARingOfFourKeepTheNewest) {
  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(1), 1);
  std::vector<int> counters;
  for (int i = 0; i < 5; ++i) counters.push_back(CaptureSingle(device));
  for (int i = 1; i < 5; ++i) EXPECT_NE(counters[i], counters[i - 1]);
  EXPECT_EQ(PeekCounter(device, true), counters[4]) << "the fifth frame took the first slot";

  std::vector<uint8_t> frame = FrameBuffer(2);
  int counter = -1;
  EXPECT_EQ(device.GetFrameInfo(frame.data(), &counter, nullptr, nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(counter, counters[4]);
  EXPECT_TRUE(ShowsPattern({frame.data(), 2}, kUpright, counter));
}

TEST_F(AcquisitionTest, LargeRingProductKeepsEightFrames) {
  TestDevice& device = Open("0x32D0:pattern", &MakeTestSensor);
  ASSERT_EQ(device.SetBitDepth(1), 1);
  std::vector<int> counters;
  for (int i = 0; i < 8; ++i) counters.push_back(CaptureSingle(device));
  EXPECT_EQ(PeekCounter(device, true), counters[0]) << "slot 0 still holds the first of eight";
  counters.push_back(CaptureSingle(device));
  EXPECT_EQ(PeekCounter(device, true), counters[8]) << "the ninth frame took the first slot";
  std::vector<uint8_t> frame = FrameBuffer(2);
  EXPECT_EQ(device.GetFrame(frame.data(), 1), 1);
  EXPECT_TRUE(ShowsPattern({frame.data(), 2}, kUpright, counters[8]));
}

TEST_F(AcquisitionTest, CountedCaptureFillsTheSlotAfterTheLastRead) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  ASSERT_EQ(device.StartCapture(CaptureMode::kCounted), 1);
  EXPECT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));
  // The last-read index starts at the ring's end, so the frame lands in slot 3.
  EXPECT_EQ(PeekCounter(device, true), -1) << "slot 0 untouched";
  EXPECT_NE(PeekCounter(device), -1);
}

TEST_F(AcquisitionTest, ContinuousPatternFramesArriveWholeAndInOrder) {
  TestDevice& device = Open("0x3280:pattern");
  for (int depth : {0, 1}) {
    SCOPED_TRACE(depth ? "16 bits" : "8 bits");
    ASSERT_EQ(device.SetBitDepth(depth), 1);
    SlowFrames(device, kSlowVmax);
    ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
    std::vector<uint8_t> frame = FrameBuffer(depth + 1);
    int previous = -1;
    for (int i = 0; i < 8; ++i) {
      ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame) << "frame " << i;
      int counter = -1, timestamp = 0, word32 = -1, exposure = 0;
      EXPECT_EQ(device.GetFrameInfo(frame.data(), &counter, &timestamp, &word32, &exposure, nullptr, 1), 0);
      EXPECT_EQ(word32, counter);
      EXPECT_GT(exposure, 0);
      if (previous >= 0) {
        EXPECT_EQ(counter, (previous + 1) & 0xFF) << "frame " << i;
      }
      EXPECT_TRUE(ShowsPattern({frame.data(), depth + 1}, kUpright, counter)) << "frame " << i;
      previous = counter;
    }
    EXPECT_EQ(device.StopCapture(0), 1);
  }
  EXPECT_GT(device.TransferRate(), 0);
}

TEST_F(AcquisitionTest, ConsumerThreadCopiesEveryFrame) {
  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(1), 1);
  SlowFrames(device, kSlowVmax);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  std::vector<int> counters;
  int wrong = 0;
  std::thread consumer([&] {
    std::vector<uint8_t> frame = FrameBuffer(2);
    for (int i = 0; i < 10; ++i) {
      if (AwaitFrame(device) != WaitResult::kNewFrame) break;
      int counter = -1;
      device.GetFrameInfo(frame.data(), &counter, nullptr, nullptr, nullptr, nullptr, 1);
      if (!ShowsPattern({frame.data(), 2}, kUpright, counter)) ++wrong;
      counters.push_back(counter);
    }
  });
  consumer.join();
  EXPECT_EQ(device.StopCapture(1), 1);
  ASSERT_EQ(counters.size(), 10u);
  EXPECT_EQ(wrong, 0);
  for (size_t i = 1; i < counters.size(); ++i) EXPECT_EQ(counters[i], (counters[i - 1] + 1) & 0xFF) << i;
  EXPECT_EQ(device.Statistics().overruns, 0u) << "the consumer took every frame";
}

TEST_F(AcquisitionTest, BitDepthChangeDuringCaptureStopsItFirst) {
  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
  // The ring is rebuilt for two bytes per pixel while frames were landing in it.
  ASSERT_EQ(device.SetBitDepth(1), 1);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
  std::vector<uint8_t> frame = FrameBuffer(2);
  int counter = -1;
  device.GetFrameInfo(frame.data(), &counter, nullptr, nullptr, nullptr, nullptr, 1);
  EXPECT_TRUE(ShowsPattern({frame.data(), 2}, kUpright, counter));
}

TEST_F(AcquisitionTest, TriggerModeGivesAFramePerPulse) {
  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  // Switching to the trigger waits for one triggered frame.
  std::atomic<bool> switched{false};
  std::thread pulses([&] {
    while (!switched) {
      Sleep(50);
      vc::PulseTrigger(0);
    }
  });
  EXPECT_EQ(device.SetTriggerMode(TriggerMode::kExternal, 0), 1);
  switched = true;
  pulses.join();
  EXPECT_EQ(vc::SensorRegister(0, 0x600) & 1, 1) << "the sensor waits for triggers";

  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  while (device.WaitFrame(300) == WaitResult::kNewFrame) device.GetFrame(nullptr, 1);  // what the pulses above left
  std::vector<uint8_t> frame = FrameBuffer(1);
  int previous = -1;
  for (int i = 0; i < 4; ++i) {
    vc::PulseTrigger(0);
    ASSERT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame) << "pulse " << i;
    int counter = -1;
    device.GetFrameInfo(frame.data(), &counter, nullptr, nullptr, nullptr, nullptr, 1);
    EXPECT_EQ(counter, device.Board(fpga::kFrameCounter));
    if (previous >= 0) {
      EXPECT_EQ(counter, (previous + 1) & 0xFF);
    }
    EXPECT_TRUE(ShowsPattern({frame.data(), 1}, kUpright, counter));
    previous = counter;
  }
  EXPECT_EQ(device.WaitFrame(300), WaitResult::kNoNewFrame) << "no pulse, no frame";

  EXPECT_EQ(device.SetTriggerMode(TriggerMode::kFreeRun, 0), 1);
  EXPECT_EQ(vc::SensorRegister(0, 0x600) & 1, 0);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  EXPECT_EQ(AwaitFrame(device), WaitResult::kNewFrame) << "free running again";
}

TEST_F(AcquisitionTest, CaptureOneFillsSlotZeroInTheCallersThread) {
  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(1), 1);  // applies the geometry: buffers exist
  EXPECT_EQ(device.CaptureOne(), 0);
  EXPECT_EQ(device.WaitFrame(0), WaitResult::kNoNewFrame) << "no error, and no frame event";
  std::vector<uint8_t> frame = FrameBuffer(2);
  EXPECT_EQ(device.GetCapturedFrame(frame.data(), 1), 0);
  const int counter = PeekCounter(device, true);
  EXPECT_TRUE(ShowsPattern({frame.data(), 2}, kUpright, counter));
  EXPECT_EQ(device.GetCapturedFrame(nullptr, 1), -2);
  EXPECT_EQ(device.loopsEnded, 0);

  TestDevice bare;
  EXPECT_EQ(bare.CaptureOne(), 2);
}

TEST_F(AcquisitionTest, StopWithAbortEndsAPendingRead) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  StopWithAbortWhileStalled(device);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  EXPECT_EQ(AwaitFrame(device), WaitResult::kNewFrame) << "the next capture works";
}

// Every header read waits for a frame that does not come; once the frame
// time-out is over the loop gives up and the wait reports the error.
TEST_F(AcquisitionTest, StalledCameraEndsInTheErrorStateWithinTheFrameTimeOut) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  device.SetFrameTimeout(200);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
  vc::StallStream(0, true);
  EXPECT_EQ(AwaitFailure(device), WaitResult::kError);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));
  EXPECT_EQ(device.NewestFrameStatus(), FrameStatus::kTimeout);
  const FrameStatistics counts = device.Statistics();
  EXPECT_EQ(counts.failed, 1u) << "one header read outlasts the frame time-out; no restart follows";
  EXPECT_EQ(counts.timeouts, counts.failed);

  vc::StallStream(0, false);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  EXPECT_NE(device.WaitFrame(0), WaitResult::kError) << "the start cleared the error";
  EXPECT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
}

TEST_F(AcquisitionTest, UnplugDuringStreamingEndsInTheErrorState) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
  vc::Unplug(0);
  EXPECT_EQ(AwaitFailure(device), WaitResult::kError);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));
  EXPECT_EQ(device.NewestFrameStatus(), FrameStatus::kUnplugged);
  EXPECT_EQ(device.WaitFrame(0), WaitResult::kError) << "the error stays until the next start";
  EXPECT_EQ(device.StopCapture(1), 1);
}

}  // namespace
}  // namespace tevrin::test
