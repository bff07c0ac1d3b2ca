// PNG files read back with libpng: depth and colour type per bit count, R, G, B
// order, big-endian words, opaque alpha and widened significant bits.
#include <gtest/gtest.h>
#include <png.h>

#include "support/StillFileTest.h"

namespace tevrin::test {
namespace {

class PngTest : public StillFileTest {};

TEST_F(PngTest, EveryBitCount_HeaderAndPixelsTopRowFirst) {
  struct Case {
    int bitCount, bitDepth, colourType;
    uint16_t alpha;
  };
  const Case cases[] = {{8, 8, PNG_COLOR_TYPE_GRAY, 0},  {16, 16, PNG_COLOR_TYPE_GRAY, 0},
                        {24, 8, PNG_COLOR_TYPE_RGB, 0},  {32, 8, PNG_COLOR_TYPE_RGB_ALPHA, 255},
                        {48, 16, PNG_COLOR_TYPE_RGB, 0}, {64, 16, PNG_COLOR_TYPE_RGB_ALPHA, 65535}};
  for (const Case& c : cases) {
    SCOPED_TRACE("bit count " + std::to_string(c.bitCount));
    const TestImage image = MakePatternImage(37, 11, c.bitCount);
    const PngFile file = ReadPng(Save(image, files::kStillPng, "image.png"));
    EXPECT_EQ(file.bitDepth, c.bitDepth);
    EXPECT_EQ(file.colourType, c.colourType);
    ExpectRgbOrderPixels(file, image, 16, c.alpha);
  }
}

TEST_F(PngTest, SixteenBitSamples_AreBigEndianAndWidenedByTheSignificantBits) {
  for (int bits : {10, 12, 16}) {
    for (int bitCount : {16, 48, 64}) {
      SCOPED_TRACE("bits " + std::to_string(bits) + ", bit count " + std::to_string(bitCount));
      const TestImage image = MakePatternImage(9, 4, bitCount);
      ExpectRgbOrderPixels(ReadPng(Save(image, files::kStillPng, "wide.png", bits)), image, bits, 65535);
    }
  }
  // One sample checked byte by byte: 12-bit 0x0ABC written as stored.
  const TestImage single = MakeImage(1, 1, 16, [](int, int, int) { return uint16_t{0x0ABC}; });
  EXPECT_EQ(ReadPng(Save(single, files::kStillPng, "one.png")).At(0, 0, 0), 0x0ABC);
}

}  // namespace
}  // namespace tevrin::test
