// Packed rows from the device are spread to the image's 4-byte stride.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "image/DibImage.h"
#include "image/SpreadRows.h"

namespace {

using tevrin::image::SpreadRows;

// The device writes width x bytes per pixel per row, back to back.
void WritePacked(CDibImage& image, const std::vector<uint8_t>& packed) {
  std::memcpy(image.Bits(), packed.data(), packed.size());
}

TEST(SpreadRows, MovesPackedRowsToTheirStride) {
  struct Case {
    int width, height, bits;
  };
  for (const Case& c : {Case{5, 4, 8}, Case{3, 5, 16}, Case{7, 3, 8}, Case{1, 6, 16}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
    CDibImage image;
    ASSERT_TRUE(image.Create(c.width, c.height, static_cast<uint16_t>(c.bits)));
    const int rowBytes = c.width * c.bits / 8;
    ASSERT_NE(rowBytes, image.Stride());
    std::vector<uint8_t> packed(static_cast<size_t>(rowBytes * c.height));
    std::iota(packed.begin(), packed.end(), uint8_t{1});
    WritePacked(image, packed);
    std::memset(image.Bits() + packed.size(), 0xEE, image.ByteSize() - packed.size());
    SpreadRows(image);
    for (int y = 0; y < c.height; ++y) {
      const uint8_t* row = image.Row(y);
      for (int i = 0; i < rowBytes; ++i) ASSERT_EQ(row[i], packed[static_cast<size_t>(y * rowBytes + i)]) << y;
      for (int i = rowBytes; i < image.Stride(); ++i) ASSERT_EQ(row[i], 0) << "padding of row " << y;
    }
  }
}

TEST(SpreadRows, LeavesAlignedRowsAlone) {
  CDibImage image;
  ASSERT_TRUE(image.Create(640, 2, 16));
  std::vector<uint8_t> packed(image.ByteSize());
  std::iota(packed.begin(), packed.end(), uint8_t{0});
  WritePacked(image, packed);
  SpreadRows(image);
  EXPECT_EQ(std::memcmp(image.Bits(), packed.data(), packed.size()), 0);
}

}  // namespace
