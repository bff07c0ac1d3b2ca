// The own BMP and raw writers: exact header values, the grey table, rows
// flipped so buffer row 0 is the picture's top, and raw bytes as stored.
#include <gtest/gtest.h>

#include "support/StillFileTest.h"

namespace tevrin::test {
namespace {

class BmpRawTest : public StillFileTest {};

constexpr int kBitCounts[] = {8, 16, 24, 32, 48, 64};

TEST_F(BmpRawTest, Bmp_HeaderValuesForTheSensorFrame) {
  struct Case {
    int bitCount;
    uint32_t offBits;
    uint32_t stride;
  };
  for (const Case& c : {Case{8, 1078, 640}, Case{24, 54, 1920}, Case{16, 54, 1280}, Case{64, 54, 5120}}) {
    SCOPED_TRACE("bit count " + std::to_string(c.bitCount));
    const auto bytes = ReadBytes(Save(MakePatternImage(640, 512, c.bitCount), files::kStillBmp, "frame.bmp"));
    ASSERT_EQ(bytes.size(), c.offBits + 512u * c.stride);
    EXPECT_EQ(LittleEndian16(bytes, 0), 0x4D42);
    EXPECT_EQ(LittleEndian32(bytes, 2), bytes.size());
    EXPECT_EQ(LittleEndian32(bytes, 6), 0u);
    EXPECT_EQ(LittleEndian32(bytes, 10), c.offBits);
    EXPECT_EQ(LittleEndian32(bytes, 14), 40u);
    EXPECT_EQ(LittleEndian32(bytes, 18), 640u);
    EXPECT_EQ(LittleEndian32(bytes, 22), 512u);
    EXPECT_EQ(LittleEndian16(bytes, 26), 1);
    EXPECT_EQ(LittleEndian16(bytes, 28), c.bitCount);
    for (size_t offset = 30; offset < 54; offset += 4) EXPECT_EQ(LittleEndian32(bytes, offset), 0u) << offset;
    if (c.bitCount != 8) continue;
    for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(LittleEndian32(bytes, 54 + 4 * i), i | i << 8 | i << 16) << i;
  }
}

TEST_F(BmpRawTest, Bmp_BottomUpRowsShowBufferRowZeroOnTopWithValuesUnchanged) {
  // Width 5 leaves padding in every row for all depths but 32 and 64.
  for (int bitCount : kBitCounts) {
    SCOPED_TRACE("bit count " + std::to_string(bitCount));
    const TestImage image = MakePatternImage(5, 3, bitCount);
    const auto bytes = ReadBytes(Save(image, files::kStillBmp, "small.bmp"));
    const size_t offBits = LittleEndian32(bytes, 10);
    const size_t stride = (image.view.RowBytes() + 3) & ~size_t{3};
    ASSERT_EQ(bytes.size(), offBits + 3 * stride);
    for (int fileRow = 0; fileRow < 3; ++fileRow) {
      const size_t start = offBits + fileRow * stride;
      const uint8_t* expected = image.view.Row(2 - fileRow);
      EXPECT_TRUE(std::equal(expected, expected + image.view.RowBytes(), bytes.begin() + start)) << fileRow;
      for (size_t pad = image.view.RowBytes(); pad < stride; ++pad) EXPECT_EQ(bytes[start + pad], 0) << pad;
    }
  }
}

TEST_F(BmpRawTest, Raw_IsTheBufferAsStoredTopRowFirstPaddingIncluded) {
  for (int bitCount : kBitCounts) {
    SCOPED_TRACE("bit count " + std::to_string(bitCount));
    const TestImage image = MakePatternImage(5, 3, bitCount);
    EXPECT_EQ(ReadBytes(Save(image, files::kStillRaw, "frame.raw")), image.memory);
  }
}

}  // namespace
}  // namespace tevrin::test
