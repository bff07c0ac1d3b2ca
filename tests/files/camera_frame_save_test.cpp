// A camera frame saved through the export and read back by the codec
// libraries: every format holds the pixels Tevrin_GetImage returns.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/TestImage.h"

namespace tevrin::test {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 512;

class CameraFrameSave : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(virtualcam::Configure("0x3280:pattern"));
    handle_ = Tevrin_Initialize(nullptr);
    ASSERT_NE(handle_, 0);
    ASSERT_EQ(Tevrin_SetPreviewWindow(handle_, nullptr, 0, 0, 0, 0), 1);
  }
  void TearDown() override { Tevrin_Release(handle_); }

  // Takes one frame in `bits` and returns the output image, top row first.
  std::vector<uint8_t> Snap(int bits) {
    EXPECT_EQ(Tevrin_SetColorMode(handle_, bits), 1);
    std::vector<uint8_t> frame(kWidth * kHeight * bits / 8);
    EXPECT_EQ(Tevrin_SnapShot(handle_, nullptr, 0, 1), 1);
    EXPECT_EQ(Tevrin_GetImage(handle_, frame.data(), static_cast<int>(frame.size()), 1), 1);
    return frame;
  }

  std::string Save(int format, const std::string& name) {
    const std::string path = directory_ + "/" + name;
    EXPECT_EQ(Tevrin_SaveImage(handle_, path.c_str(), format), 1) << name;
    return path;
  }

  int handle_ = 0;
  std::string directory_ = FreshDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

uint16_t Sample16(const std::vector<uint8_t>& frame, int x, int y) {
  return static_cast<uint16_t>(frame[(y * kWidth + x) * 2] | frame[(y * kWidth + x) * 2 + 1] << 8);
}

TEST_F(CameraFrameSave, EightBitFrameInEveryFormat) {
  const std::vector<uint8_t> frame = Snap(8);
  const std::vector<uint8_t> bmp = ReadBytes(Save(TEVRIN_FORMAT_BMP, "frame.bmp"));
  ASSERT_EQ(bmp.size(), 1078u + kHeight * kWidth);
  EXPECT_EQ(LittleEndian32(bmp, 2), 1078u + kHeight * kWidth);
  const uint32_t offset = LittleEndian32(bmp, 10);
  const PngFile png = ReadPng(Save(TEVRIN_FORMAT_PNG, "frame.png"));
  const TiffFile tiff = ReadTiff(Save(TEVRIN_FORMAT_TIFF, "frame.tif"));
  const std::vector<uint8_t> raw = ReadBytes(Save(TEVRIN_FORMAT_RAW, "frame.raw"));
  EXPECT_EQ(raw, frame);
  ASSERT_EQ(png.width, kWidth);
  ASSERT_EQ(tiff.height, kHeight);
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint8_t value = frame[y * kWidth + x];
      wrong += bmp[offset + (kHeight - 1 - y) * kWidth + x] != value;  // BMP rows bottom-up
      wrong += png.At(x, y, 0) != value;
      wrong += tiff.At(x, y, 0) != value;
    }
  }
  EXPECT_EQ(wrong, 0);
  const JpegFile jpeg = ReadJpeg(Save(TEVRIN_FORMAT_JPEG_100, "frame.jpg"));
  ASSERT_EQ(jpeg.width, kWidth);
  EXPECT_NEAR(jpeg.At(100, 200, 0), frame[200 * kWidth + 100], 3);
}

TEST_F(CameraFrameSave, SixteenBitFrameKeepsItsTwelveBits) {
  const std::vector<uint8_t> frame = Snap(16);
  const PngFile png = ReadPng(Save(TEVRIN_FORMAT_PNG, "frame.png"));
  const TiffFile tiff = ReadTiff(Save(TEVRIN_FORMAT_TIFF, "frame.tif"));
  const std::vector<uint8_t> bmp = ReadBytes(Save(TEVRIN_FORMAT_BMP, "frame.bmp"));
  ASSERT_EQ(png.bitDepth, 16);
  ASSERT_EQ(tiff.bitDepth, 16);
  const uint32_t offset = LittleEndian32(bmp, 10);
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint16_t value = Sample16(frame, x, y);
      wrong += value > 4095;
      wrong += png.At(x, y, 0) != value;
      wrong += tiff.At(x, y, 0) != value;
      wrong += LittleEndian16(bmp, offset + ((kHeight - 1 - y) * kWidth + x) * 2) != value;
    }
  }
  EXPECT_EQ(wrong, 0);
  // JPEG takes the high byte of each 16-bit sample.
  const JpegFile jpeg = ReadJpeg(Save(TEVRIN_FORMAT_JPEG_100, "frame.jpg"));
  EXPECT_NEAR(jpeg.At(320, 256, 0), Sample16(frame, 320, 256) >> 8, 2);
  EXPECT_EQ(Tevrin_SaveImage(handle_, (directory_ + "/frame.xyz").c_str(), 7), 0);
  EXPECT_EQ(Tevrin_GetLastError(handle_), 0);
}

TEST(CameraFrameSaveWithoutFrame, IsErrorOne) {
  const int handle = Tevrin_Initialize(nullptr);
  EXPECT_EQ(Tevrin_SaveImage(handle, "never.png", TEVRIN_FORMAT_PNG), 0);
  EXPECT_EQ(Tevrin_GetLastError(handle), TEVRIN_ERROR_NOT_READY);
  Tevrin_Release(handle);
}

}  // namespace
}  // namespace tevrin::test
