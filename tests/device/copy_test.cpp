// Copying frames out of the ring: the sensor's orientation undone line by
// line and pixel by pixel, at one and two bytes per pixel.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <vector>

#include "support/DeviceFixture.h"
#include "support/Pattern.h"

namespace tevrin::test {
namespace {

struct CopyCase {
  int orientation;
  int bottomUp;
  SceneLayout layout;  // of the copy, for the 0x3280 camera whose frames come half a turn round
};

void PrintTo(const CopyCase& c, std::ostream* out) {
  *out << "orientation " << c.orientation << " bottom_up " << c.bottomUp;
}

class CopyOrientationTest : public DeviceTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyOrientationTest, CopyFrameReversesLinesAndPixelsAsTheOrientationSays) {
  const CopyCase& c = GetParam();
  TestDevice& device = Open("0x3280:pattern");
  for (int depth : {0, 1}) {
    SCOPED_TRACE(depth ? "16 bits" : "8 bits");
    ASSERT_EQ(device.SetBitDepth(depth), 1);
    device.Info().orientation = 4;  // the driver's own, for the capture
    ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
    ASSERT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame);
    device.Info().orientation = c.orientation;
    std::vector<uint8_t> frame = FrameBuffer(depth + 1);
    int counter = -1, word32 = -1;
    ASSERT_EQ(
        device.CopyFrame(frame.data(), device.FrameSize(), &counter, nullptr, &word32, nullptr, nullptr, 0, c.bottomUp),
        1);
    EXPECT_EQ(word32, counter);
    EXPECT_TRUE(ShowsPattern({frame.data(), depth + 1}, c.layout, counter));
  }
}

INSTANTIATE_TEST_SUITE_P(AllOrientations, CopyOrientationTest,
                         ::testing::Values(CopyCase{1, 1, kHalfTurn},  // unchanged
                                           CopyCase{1, 0, {true, false}}, CopyCase{2, 1, {false, true}},
                                           CopyCase{2, 0, kUpright}, CopyCase{3, 1, {true, false}},
                                           CopyCase{3, 0, kHalfTurn},
                                           CopyCase{4, 1, kUpright},  // lines and pixels reversed
                                           CopyCase{4, 0, {false, true}}));

using CopyTest = DeviceTest;

TEST_F(CopyTest, TooSmallBufferCopiesNothing) {
  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  ASSERT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame);
  std::vector<uint8_t> frame(device.FrameSize(), 0xAB);
  int counter = -7;
  EXPECT_EQ(device.CopyFrame(frame.data(), device.FrameSize() - 1, &counter, nullptr, nullptr, nullptr, nullptr, 0, 1),
            0);
  EXPECT_EQ(counter, -7);
  EXPECT_EQ(frame.front(), 0xAB);
}

// The ring keeps the geometry it was built with until the next start; a
// window set meanwhile must not change how its frames are copied.
TEST_F(CopyTest, WindowChangedAfterTheCaptureCopiesTheCapturedGeometry) {
  TestDevice& device = Open("0x3280:pattern");
  ASSERT_EQ(device.SetBitDepth(1), 1);
  ASSERT_EQ(device.SetCaptureWindow(0, 0, kWidth, kHeight / 2, 0), 1);
  ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  ASSERT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame);
  const int size = device.FrameSize();
  ASSERT_EQ(size, kWidth * kHeight);
  std::vector<uint8_t> before(size);
  ASSERT_EQ(device.CopyFrame(before.data(), size, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 1), 1);

  ASSERT_EQ(device.SetCaptureWindow(0, 0, kWidth, kHeight, 0), 1);
  std::vector<uint8_t> after(size);
  ASSERT_EQ(device.CopyFrame(after.data(), size, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 1), 1);
  EXPECT_TRUE(before == after);
}

}  // namespace
}  // namespace tevrin::test
