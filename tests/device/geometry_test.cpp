// Geometry and output format: buffer and frame sizes, the board's size,
// format and offset registers for each readout mode, mirror and board, and
// the settings that leave things alone when nothing changes.
#include <gtest/gtest.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Imx991Registers.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <vector>

#include "support/DeviceFixture.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;
namespace fpga = tevrin::hardware::fpga;
namespace imx = tevrin::hardware::imx991;

struct FormatCase {
  const char* cameras;
  int mode;     // readout mode
  int height;   // requested window height (before binning)
  bool mirror;  // horizontal
  int width;    // resulting output width and height
  int outputHeight;
  int format;  // board registers 0x48/0x49 and 0x4C/0x4D
  int hStart;
};

void PrintTo(const FormatCase& c, std::ostream* out) {
  *out << c.cameras << " mode " << c.mode << " height " << c.height << (c.mirror ? " mirrored" : "");
}

class FormatRegistersTest : public DeviceTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatRegistersTest, ApplyGeometryWritesSizeFormatAndOffset) {
  const FormatCase& c = GetParam();
  TestDevice& device = Open(c.cameras);
  ASSERT_TRUE(device.SetMirrorH(c.mirror));
  ASSERT_EQ(device.SetCaptureWindow(0, 0, kWidth, c.height, c.mode), 1);
  for (int reg : {fpga::kFormatLow, fpga::kFormatHigh, fpga::kHStartLow, fpga::kHStartHigh, fpga::kOutputWidthLow,
                  fpga::kOutputHeightLow}) {
    ASSERT_TRUE(device.WriteFpgaRegister(reg, 0xEE));  // so that every register must be written again
  }

  for (int depth : {0, 1}) {
    ASSERT_EQ(device.SetBitDepth(depth), 1);
    ASSERT_EQ(device.ApplyGeometry(), 1);
    const int bytes = depth + 1;
    EXPECT_EQ(device.FrameSize(), c.width * c.outputHeight * bytes);
    EXPECT_EQ(device.Board(fpga::kOutputDepth), bytes);
    EXPECT_EQ(device.Board(fpga::kOutputWidthLow), c.width & 0xFF);
    EXPECT_EQ(device.Board(fpga::kOutputWidthHigh), c.width >> 8);
    EXPECT_EQ(device.Board(fpga::kOutputHeightLow), c.outputHeight & 0xFF);
    EXPECT_EQ(device.Board(fpga::kOutputHeightHigh), c.outputHeight >> 8);
    EXPECT_EQ(device.Board(fpga::kFormatLow), c.format);
    EXPECT_EQ(device.Board(fpga::kFormatHigh), 0);
    EXPECT_EQ(device.Board(fpga::kHStartLow), c.hStart);
    EXPECT_EQ(device.Board(fpga::kHStartHigh), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(ReadoutModesMirrorsAndBoards, FormatRegistersTest,
                         ::testing::Values(
                             // The standard board delivers 16-bit gray: offsets 8/104 and 4/52.
                             FormatCase{"0x3280:standard", 0, 512, false, 640, 512, 25, 8},
                             FormatCase{"0x3280:standard", 0, 512, true, 640, 512, 25, 104},
                             FormatCase{"0x3280:standard", 0, 256, false, 640, 256, 21, 8},
                             FormatCase{"0x3280:standard", 1, 512, false, 320, 256, 23, 4},
                             FormatCase{"0x3280:standard", 1, 512, true, 320, 256, 23, 52},
                             FormatCase{"0x3280:standard", 2, 512, false, 640, 512, 21, 8},
                             FormatCase{"0x3280:standard", 2, 512, true, 640, 512, 21, 104},
                             // The fast board does not: offsets 4/100 and 0/48; mode 2 as on the standard board.
                             FormatCase{"0x3280:fast", 0, 512, false, 640, 512, 25, 4},
                             FormatCase{"0x3280:fast", 0, 512, true, 640, 512, 25, 100},
                             FormatCase{"0x3280:fast", 0, 256, true, 640, 256, 21, 100},
                             FormatCase{"0x3280:fast", 1, 512, false, 320, 256, 23, 0},
                             FormatCase{"0x3280:fast", 1, 512, true, 320, 256, 23, 48},
                             FormatCase{"0x3280:fast", 2, 512, true, 640, 512, 21, 104},
                             FormatCase{"0x3290:fast", 0, 512, false, 640, 512, 25, 4}));

using GeometryTest = DeviceTest;

TEST_F(GeometryTest, CaptureWindowWithTheCurrentValuesLeavesTheSensorAlone) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  int x = -1, y = -1, width = -1, height = -1, mode = -1;
  ASSERT_EQ(device.GetCaptureWindow(&x, &y, &width, &height, &mode), 1);
  EXPECT_EQ(width, kWidth);
  EXPECT_EQ(height, kHeight);
  // A value the driver would overwrite if it programmed the window.
  ASSERT_TRUE(device.WriteRegisterRaw(imx::kWindowWidth0, 0x55));
  EXPECT_EQ(device.SetCaptureWindow(x, y, width, height, mode), 1);
  EXPECT_EQ(vc::SensorRegister(0, imx::kWindowWidth0), 0x55);

  // A new window reaches the sensor, comes back adjusted, and is applied at the next start.
  ASSERT_EQ(device.ApplyGeometry(), 1);
  const int before = device.FrameSize();
  EXPECT_EQ(device.SetCaptureWindow(0, 0, 601, 300, 0), 1);
  ASSERT_EQ(device.GetCaptureWindow(&x, &y, &width, &height, &mode), 1);
  EXPECT_EQ(width, 600);
  EXPECT_EQ(height, 296);
  EXPECT_EQ(vc::SensorRegister(0, imx::kWindowWidth0), 600 & 0xFF);
  EXPECT_EQ(device.FrameSize(), before) << "applied only when a capture starts";
  ASSERT_EQ(device.StartCapture(CaptureMode::kSingle), 1);
  EXPECT_EQ(device.WaitFrame(5000), WaitResult::kNewFrame);
  EXPECT_EQ(device.FrameSize(), 600 * 296);
  EXPECT_EQ(device.Board(fpga::kOutputWidthLow) | device.Board(fpga::kOutputWidthHigh) << 8, 600);
  EXPECT_EQ(device.Board(fpga::kOutputHeightLow) | device.Board(fpga::kOutputHeightHigh) << 8, 296);
  std::vector<uint8_t> frame(600 * 296);
  EXPECT_EQ(device.GetFrame(frame.data(), 1), 1);

  int ignored = 0;
  TestDevice bare;
  EXPECT_EQ(bare.SetCaptureWindow(0, 0, 64, 64, 0), 0);
  EXPECT_EQ(bare.GetCaptureWindow(&ignored, &ignored, &ignored, &ignored, &ignored), 0);
}

TEST_F(GeometryTest, BitDepthWithTheCurrentModeRewritesTheDepthRegisterOnly) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  ASSERT_EQ(device.ApplyGeometry(), 1);
  ASSERT_TRUE(device.WriteFpgaRegister(fpga::kOutputDepth, 7));
  ASSERT_TRUE(device.WriteFpgaRegister(fpga::kOutputWidthLow, 0x33));
  EXPECT_EQ(device.SetBitDepth(0), 1);
  EXPECT_EQ(device.Board(fpga::kOutputDepth), 1);
  EXPECT_EQ(device.Board(fpga::kOutputWidthLow), 0x33) << "no geometry applied";
  EXPECT_EQ(device.SetBitDepth(2), 1) << "any mode but 1 is one byte per pixel";
  EXPECT_EQ(device.FrameSize(), kWidth * kHeight);

  EXPECT_EQ(device.SetBitDepth(1), 1);
  EXPECT_EQ(device.Board(fpga::kOutputDepth), 2);
  EXPECT_EQ(device.Board(fpga::kOutputWidthLow), kWidth & 0xFF) << "a new depth applies the geometry";
  EXPECT_EQ(device.FrameSize(), kWidth * kHeight * 2);

  TestDevice bare;
  EXPECT_EQ(bare.SetBitDepth(1), 0);
}

TEST_F(GeometryTest, TriggerModeUnchangedWithoutForceKeepsTheCaptureRunning) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.SetBitDepth(0), 1);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
  std::vector<uint8_t> frame(device.FrameSize());
  device.GetFrame(frame.data(), 1);
  EXPECT_EQ(device.SetTriggerMode(TriggerMode::kFreeRun, 0), 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(AwaitFrame(device), WaitResult::kNewFrame) << "frame " << i;
    device.GetFrame(frame.data(), 1);
  }
  EXPECT_EQ(device.loopsEnded, 0);

  // Forced, the same mode stops the capture.
  EXPECT_EQ(device.SetTriggerMode(TriggerMode::kFreeRun, 1), 1);
  EXPECT_EQ(device.loopsEnded, 1);
  EXPECT_EQ(device.WaitFrame(300), WaitResult::kNoNewFrame);
}

TEST_F(GeometryTest, ExposureSetsTheFrameTimeOut) {
  TestDevice& device = Open("0x3280");
  EXPECT_EQ(device.FrameTimeout(), 5000);
  EXPECT_EQ(device.SetFrameTimeout(123), 1);
  EXPECT_EQ(device.FrameTimeout(), 123);
  device.SetExposure(100);
  EXPECT_EQ(device.FrameTimeout(), 5000);
  device.SetExposure(50000);
  EXPECT_EQ(device.FrameTimeout(), 5000) << "up to five seconds keep the default";
  device.SetExposure(50005);
  EXPECT_EQ(device.FrameTimeout(), 10001) << "beyond, twice the exposure";
  device.SetExposureSeconds(1.5);
  EXPECT_EQ(device.FrameTimeout(), 10001) << "up to two seconds leave it";
  device.SetExposureSeconds(3.5);
  EXPECT_EQ(device.FrameTimeout(), 4500) << "beyond, one second more than the exposure";
}

}  // namespace
}  // namespace tevrin::test
