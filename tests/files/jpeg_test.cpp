// JPEG files read back with libjpeg: progressive, grey or colour by the
// image's depth, the first scanline is buffer row 0, 16-bit samples reduced
// by the significant bits, and the three qualities.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <jpeglib.h>

#include "support/StillFileTest.h"

namespace tevrin::test {
namespace {

class JpegTest : public StillFileTest {};

// Top half one colour, bottom half another: flat areas a quality-100 JPEG
// keeps within a few levels. Stored as 8-bit samples or 12-bit words.
constexpr uint8_t kTop[3] = {30, 90, 200};  // B, G, R
constexpr uint8_t kBottom[3] = {200, 90, 30};
constexpr int kWidth = 64, kHeight = 32;

TestImage MakeHalves(int bitCount) {
  const bool words = bitCount == 16 || bitCount >= 48;
  return MakeImage(kWidth, kHeight, bitCount, [=](int, int y, int c) -> uint16_t {
    if (c == 3) return 0;
    const uint8_t value = (y < kHeight / 2 ? kTop : kBottom)[bitCount <= 16 ? 2 : c];
    return words ? static_cast<uint16_t>(value << 4) : value;
  });
}

void ExpectNear(const JpegFile& file, int y, const uint8_t (&bgr)[3]) {
  for (int c = 0; c < file.channels; ++c) {
    const int expected = bgr[file.channels == 1 ? 2 : 2 - c];
    EXPECT_NEAR(file.At(kWidth / 2, y, c), expected, 3) << "row " << y << " channel " << c;
  }
}

TEST_F(JpegTest, EveryBitCount_ProgressiveTopRowFirstInRgbOrder) {
  for (int bitCount : {8, 16, 24, 32, 48, 64}) {
    SCOPED_TRACE("bit count " + std::to_string(bitCount));
    // 16-bit words hold 12-bit values here, so 12 significant bits give them back.
    const JpegFile file = ReadJpeg(Save(MakeHalves(bitCount), files::kStillJpegQuality100, "image.jpg", 12));
    EXPECT_TRUE(file.progressive);
    EXPECT_EQ(file.width, kWidth);
    EXPECT_EQ(file.height, kHeight);
    EXPECT_EQ(file.channels, bitCount <= 16 ? 1 : 3);
    EXPECT_EQ(file.colourSpace, bitCount <= 16 ? JCS_GRAYSCALE : JCS_YCbCr);
    ExpectNear(file, 4, kTop);
    ExpectNear(file, kHeight - 4, kBottom);
  }
}

TEST_F(JpegTest, SixteenBitSamples_HighByteUnlessFewerSignificantBits) {
  const TestImage image = MakeImage(16, 16, 16, [](int, int, int) { return uint16_t{0x0C80}; });
  struct Case {
    int bits, expected;
  };
  for (const Case& c : {Case{16, 0x0C}, Case{12, 0xC8}, Case{10, 0x20}}) {
    SCOPED_TRACE("bits " + std::to_string(c.bits));
    const JpegFile file = ReadJpeg(Save(image, files::kStillJpegQuality100, "grey.jpg", c.bits));
    EXPECT_NEAR(file.At(8, 8, 0), c.expected, 1);
  }
}

TEST_F(JpegTest, Qualities_LowerCodesGiveSmallerFiles) {
  const TestImage image = MakePatternImage(128, 64, 24);
  std::uintmax_t previous = 0;
  for (int format : {files::kStillJpegQuality20, files::kStillJpegQuality70, files::kStillJpegQuality100}) {
    SCOPED_TRACE("format " + std::to_string(format));
    const std::string path = Save(image, format, Numbered("q", format, ".jpg"));
    EXPECT_EQ(ReadJpeg(path).width, 128);
    const auto size = std::filesystem::file_size(path);
    EXPECT_GT(size, previous);
    previous = size;
  }
}

}  // namespace
}  // namespace tevrin::test
