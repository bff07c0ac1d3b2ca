// The conversion of an output image into an AVI frame: bottom row first,
// B, G, R, grey spread over the three channels, 16-bit samples reduced by
// their significant bits.
#include <gtest/gtest.h>

#include <vector>

#include "files/AviFrame.h"
#include "support/TestImage.h"

namespace tevrin::test {
namespace {

constexpr int kSignificantBits = 12;

// Channel c (B, G, R) of the frame's pixel x in its row `row`, counted from the bottom.
uint8_t FramePixel(const std::vector<uint8_t>& frame, int width, int row, int x, int c) {
  return frame[(static_cast<size_t>(row) * width + x) * 3 + c];
}

TEST(AviFrame, EveryOutputDepth_BecomesBottomUpBgr) {
  constexpr int kWidth = 5, kHeight = 3;
  for (const int bits : {8, 16, 24, 32, 48, 64}) {
    SCOPED_TRACE("bits " + std::to_string(bits));
    const TestImage image = MakePatternImage(kWidth, kHeight, bits);
    std::vector<uint8_t> frame(3 * kWidth * kHeight, 0xEE);
    files::ConvertToAviFrame(image.view, kSignificantBits, frame.data());
    const bool grey = bits <= 16;
    const int shift = bits == 16 || bits >= 48 ? kSignificantBits - 8 : 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        for (int c = 0; c < 3; ++c) {
          const auto expected = static_cast<uint8_t>(image.Stored(x, y, grey ? 0 : c) >> shift);
          ASSERT_EQ(FramePixel(frame, kWidth, kHeight - 1 - y, x, c), expected) << x << "," << y << " channel " << c;
        }
      }
    }
  }
}

// Samples of 12 bits keep their top eight: a rising ramp over the whole range
// stays rising, from black to white, instead of wrapping every 1024 levels.
TEST(AviFrame, TwelveBitRamp_RisesFromBlackToWhiteWithoutWrapping) {
  constexpr int kWidth = 4096;
  const TestImage ramp = MakeImage(kWidth, 1, 16, [](int x, int, int) { return static_cast<uint16_t>(x); });
  std::vector<uint8_t> frame(3 * kWidth);
  files::ConvertToAviFrame(ramp.view, kSignificantBits, frame.data());
  EXPECT_EQ(frame.front(), 0);
  EXPECT_EQ(frame.back(), 255);
  for (int x = 1; x < kWidth; ++x) ASSERT_GE(frame[3 * x], frame[3 * (x - 1)]) << "at level " << x;
}

}  // namespace
}  // namespace tevrin::test
