// The other frame routes: the auxiliary endpoint of the product without
// register port (0x3042) and the memory-window stream reads of the stream
// products (0x3320), both through a test sensor since this build has no
// driver for them.
#include <gtest/gtest.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <vector>

#include "support/DeviceFixture.h"
#include "support/Pattern.h"

namespace tevrin::test {
namespace {

namespace fpga = tevrin::hardware::fpga;

using RoutesTest = DeviceTest;

// Takes `count` frames of a running capture and checks every pixel; the
// pattern's own counter must move on from frame to frame.
void ExpectPatternFrames(TestDevice& device, int bytesPerPixel, int count) {
  std::vector<uint8_t> frame = FrameBuffer(bytesPerPixel);
  int previous = -1;
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame) << "frame " << i;
    ASSERT_EQ(device.GetFrame(frame.data(), 1), 1);
    const FrameImage image{frame.data(), bytesPerPixel};
    const int counter = PatternCounter(image, kUpright);
    ASSERT_GE(counter, 0) << "frame " << i << " shows no pattern";
    EXPECT_TRUE(ShowsPattern(image, kUpright, counter)) << "frame " << i;
    EXPECT_NE(counter, previous) << "frame " << i;
    previous = counter;
  }
}

TEST_F(RoutesTest, AuxiliaryEndpointFramesAtBothDepths) {
  TestDevice& device = Open("0x3042:pattern", &MakeTestSensor);
  ASSERT_TRUE(device.IsNoRegisterProduct());
  device.SetBitDepth(1);  // the one-byte command; the ring follows at the start
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  EXPECT_EQ(device.FrameSize(), kWidth * kHeight * 2);
  ExpectPatternFrames(device, 2, 5);
  EXPECT_EQ(device.StopCapture(1), 1);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));

  device.SetBitDepth(0);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  EXPECT_EQ(device.FrameSize(), kWidth * kHeight);
  ExpectPatternFrames(device, 1, 5);
  EXPECT_EQ(device.StopCapture(1), 1);

  // The single capture takes the same route.
  EXPECT_EQ(device.CaptureOne(), 0);
  EXPECT_EQ(device.WaitFrame(0), WaitResult::kNoNewFrame) << "no error";
  std::vector<uint8_t> frame = FrameBuffer(1);
  ASSERT_EQ(device.GetCapturedFrame(frame.data(), 1), 0);
  const FrameImage image{frame.data(), 1};
  EXPECT_TRUE(ShowsPattern(image, kUpright, PatternCounter(image, kUpright)));
}

TEST_F(RoutesTest, AuxiliarySingleFrameEndsTheLoop) {
  TestDevice& device = Open("0x3042:pattern", &MakeTestSensor);
  device.SetBitDepth(0);
  ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  EXPECT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));
  EXPECT_EQ(device.WaitFrame(300), WaitResult::kNoNewFrame);
}

TEST_F(RoutesTest, StreamReadFramesAtBothDepths) {
  TestDevice& device = Open("0x3320:pattern", &MakeTestSensor);
  ASSERT_TRUE(device.IsStreamProduct());
  ASSERT_EQ(device.SetBitDepth(1), 1);
  EXPECT_EQ(device.Board(0x38), 0) << "the product's own depth register";
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  EXPECT_EQ(device.FrameSize(), kWidth * kHeight * 2);
  ExpectPatternFrames(device, 2, 5);
  EXPECT_EQ(device.StopCapture(1), 1);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));

  ASSERT_EQ(device.SetBitDepth(0), 1);
  EXPECT_EQ(device.Board(0x38), 1);
  // The virtual camera takes the depth from the common register only.
  ASSERT_TRUE(device.WriteFpgaRegister(fpga::kOutputDepth, 1));
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  EXPECT_EQ(device.FrameSize(), kWidth * kHeight);
  ExpectPatternFrames(device, 1, 5);
  EXPECT_EQ(device.StopCapture(1), 1);
}

TEST_F(RoutesTest, StreamSingleFrameEndsTheLoop) {
  TestDevice& device = Open("0x3320:pattern", &MakeTestSensor);
  ASSERT_EQ(device.SetBitDepth(1), 1);
  ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  EXPECT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));
  EXPECT_EQ(device.WaitFrame(300), WaitResult::kNoNewFrame);
}

}  // namespace
}  // namespace tevrin::test
