// TIFF files read back with libtiff: the tag table, one uncompressed strip,
// R, G, B order and packed rows even when the buffer pads them.
#include <gtest/gtest.h>
#include <tiffio.h>

#include "support/StillFileTest.h"

namespace tevrin::test {
namespace {

class TiffTest : public StillFileTest {};

TEST_F(TiffTest, EveryBitCount_TagsOneStripAndPixels) {
  struct Case {
    int bitCount, bitsPerSample, photometric, extraSamples;
    uint16_t fourth;
  };
  const Case cases[] = {
      {8, 8, PHOTOMETRIC_MINISBLACK, -1, 0}, {16, 16, PHOTOMETRIC_MINISBLACK, -1, 0},
      {24, 8, PHOTOMETRIC_RGB, -1, 0},       {32, 8, PHOTOMETRIC_RGB, EXTRASAMPLE_UNSPECIFIED, 0},
      {48, 16, PHOTOMETRIC_RGB, -1, 0},      {64, 16, PHOTOMETRIC_RGB, EXTRASAMPLE_UNSPECIFIED, 0xFFFF}};
  for (const Case& c : cases) {
    // Width 5: padded rows in the buffer for most depths.
    for (int width : {5, 64}) {
      SCOPED_TRACE("bit count " + std::to_string(c.bitCount) + ", width " + std::to_string(width));
      const TestImage image = MakePatternImage(width, 7, c.bitCount);
      const TiffFile file = ReadTiff(Save(image, files::kStillTiff, "image.tif"));
      EXPECT_EQ(file.bitDepth, c.bitsPerSample);
      EXPECT_EQ(file.photometric, c.photometric);
      EXPECT_EQ(file.compression, COMPRESSION_NONE);
      EXPECT_EQ(file.planar, PLANARCONFIG_CONTIG);
      EXPECT_EQ(file.strips, 1);
      EXPECT_EQ(file.extraSamples, c.extraSamples);
      ExpectRgbOrderPixels(file, image, 16, c.fourth);
    }
  }
}

TEST_F(TiffTest, SixteenBitSamples_WidenedByTheSignificantBits) {
  for (int bits : {10, 12}) {
    for (int bitCount : {16, 48, 64}) {
      SCOPED_TRACE("bits " + std::to_string(bits) + ", bit count " + std::to_string(bitCount));
      const TestImage image = MakePatternImage(6, 3, bitCount);
      ExpectRgbOrderPixels(ReadTiff(Save(image, files::kStillTiff, "wide.tif", bits)), image, bits, 0xFFFF);
    }
  }
}

}  // namespace
}  // namespace tevrin::test
